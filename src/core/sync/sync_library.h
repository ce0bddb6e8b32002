#pragma once

#include "core/library/library_store.h"
#include "core/sync/sync_state.h"

#include <QHash>
#include <QSet>
#include <QString>

// Between the library on this computer and the state the computers agree
// on: what changed here since the last sync, and what the agreed state
// changes here.

// The library as one sync round found it.
struct LocalLibrary {
    QList<LibraryBook> books;
    QList<Bookmark> bookmarks;
    QHash<QString, QString> rules;  // path -> the heading rule chosen for it
};

// Which book each file of the library is, kept between rounds so a file
// is read only when it is new or its size changed.
struct BookKeys {
    struct Known {
        qint64 size = -1;
        QString key;
        bool operator==(const Known&) const = default;
    };
    QHash<QString, Known> byPath;
    // The keys that had a file here after the last round: a key among them
    // with no file now was taken off this computer's shelf.
    QSet<QString> mapped;

    // The key of every book of `local` (files read as needed), path by key.
    QHash<QString, QString> Refresh(const LocalLibrary& local);
    QByteArray ToJson() const;
    static BookKeys FromJson(const QByteArray& json);
    bool operator==(const BookKeys&) const = default;
};

// `known` (the state agreed at the last round) with this computer's
// changes since: places, encodings, rules, bookmarks made, changed and
// deleted, books taken off the shelf or put back. A change gets the
// time it was made, moved past every stamp seen before it (clock).
SyncState LocalSyncState(const SyncState& known, const LocalLibrary& local, const QHash<QString, QString>& pathOfKey,
                         const QSet<QString>& mappedBefore, const SyncClock& clock, SyncStamp now);

// What the agreed state changes in the library here: places and encodings,
// bookmarks, books taken off; rule choices through `rules` (path -> rule).
LibrarySyncChange SyncChangesForLibrary(const SyncState& agreed, const LocalLibrary& local,
                                        const QHash<QString, QString>& pathOfKey, QHash<QString, QString>& rules);
