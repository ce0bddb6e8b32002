#pragma once

#include "core/books/book_store.h"

#include <QMap>
#include <QString>

#include <algorithm>

// The library as the computers sharing it agree on it. Every fact carries
// the stamp of its last change, and merging takes the later one, fact by
// fact; bookmarks are a union in which a deletion is kept (a tombstone) so
// it is never undone by a computer that had not heard of it. Merging is
// commutative, associative and idempotent: every computer that has read the
// same states holds the same library, in whatever order it read them.

// Milliseconds since the epoch, from a SyncClock.
using SyncStamp = qint64;

// A hybrid clock: the wall clock, but never behind a stamp seen before the
// change, so a change made after reading another computer's change is
// later than it even when this computer's clock runs behind. Changes made
// without knowing of each other are ordered by the wall clocks alone; the
// changes found in one round do not push each other on, so each keeps the
// time it was made.
class SyncClock {
public:
    explicit SyncClock(SyncStamp seen = 0) : seen_(seen) {}
    // The stamp of a change made at `physical`.
    SyncStamp StampFor(SyncStamp physical) const { return std::max(physical, seen_ + 1); }
    void Observe(SyncStamp seen) { seen_ = std::max(seen_, seen); }
    SyncStamp Last() const { return seen_; }

private:
    SyncStamp seen_;
};

struct SyncedPlace {
    ReadingPlace place{};
    QString chapterTitle{};
    double progress = 0;
    bool operator==(const SyncedPlace&) const = default;
};

struct SyncedBook {
    QString key{};   // BookKeyOfFile: the same text on every computer, wherever it is kept
    QString name{};  // its file name when last seen, for people
    SyncedPlace place{};
    SyncStamp placeStamp = 0;
    QString encoding{};  // as book.ini names it; empty: found by itself
    SyncStamp encodingStamp = 0;
    QString rule{};  // the heading rule chosen for it; empty: none chosen
    SyncStamp ruleStamp = 0;
    SyncStamp read = 0;     // when it was last opened or put back on a shelf
    SyncStamp removed = 0;  // when it was last taken off a shelf

    // Taken off after its last use: a later reading anywhere puts it back.
    bool Removed() const;
    bool operator==(const SyncedBook&) const = default;
};

struct SyncedBookmark {
    QString uid{};
    QString book{};  // the book's key
    ReadingPlace place{};
    QString chapterTitle{};
    QString excerpt{};
    QString note{};
    SyncStamp created = 0;
    SyncStamp noteStamp = 0;
    SyncStamp deleted = 0;  // non-zero: deleted for good
    // Deleted at `when`: only what the tombstone needs is kept.
    void Bury(SyncStamp when);
    bool operator==(const SyncedBookmark&) const = default;
};

struct SyncState {
    QMap<QString, SyncedBook> books;          // by key
    QMap<QString, SyncedBookmark> bookmarks;  // by uid
    // The latest stamp anywhere in the state.
    SyncStamp Latest() const;
    bool operator==(const SyncState&) const = default;
};

// Brings `other` into `into`: the later of each fact, the union of the
// bookmarks. Equal stamps are settled by the values themselves, so two
// computers never settle them differently.
void MergeSyncState(SyncState& into, const SyncState& other);
