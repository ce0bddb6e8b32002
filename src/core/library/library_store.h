#pragma once

#include "core/books/book_store.h"
#include "core/files/text_file_writer.h"
#include "core/text/text_encoding.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One book of the library: every book ever opened or added, whether or not
// it is open now. The path is its identity, exactly as the loader got it.
struct LibraryBook {
    // Every member has a default, so a book can be written with only the
    // fields that matter ({.path = p, .size = n}).
    QString path{};
    qint64 size = -1;                                     // the file's size when last seen; -1: not known
    int chapterCount = -1;                                // -1: not counted yet
    EncodingChoice encoding = EncodingChoice::Automatic;  // as chosen in 文字编码
    QString skinName{};                                   // the book's skin; empty: none chosen
    ReadingPlace place{};                                 // chapter -1: never read inside a chapter
    QString chapterTitle{};                               // the title of place.chapter as last shown
    double progress = 0;                                  // how far into the book the place is, 0..1
    QDateTime added{};                                    // when it came into the library
    QDateTime lastRead{};                                 // when it was last read; null: never opened
    QDateTime placeSaved{};                               // when `place` was last stored
    QDateTime placeChanged{};                             // when `place` last changed

    QString Title() const;   // the file name without its folder and .txt
    QString Folder() const;  // the folder, as in the path
    bool operator==(const LibraryBook&) const = default;
};

// A place marked in a book (书签), with a few words of the text there.
struct Bookmark {
    qint64 id = 0;
    QString path{};  // its book
    ReadingPlace place{};
    QString chapterTitle{};
    QString excerpt{};  // the text at the place, a line at most
    QString note{};     // the reader's own words; may be empty
    QDateTime created{};
    QString uid{};        // the same on every computer the library is synced to; made when added
    QDateTime changed{};  // when the note last changed (at first, when made)
    bool operator==(const Bookmark&) const = default;
};

// What a sync brings into the library from other computers, written in one
// transaction together with the sync's own values.
struct LibrarySyncChange {
    struct Place {
        QString path{};
        // place_saved as the sync read it: a book whose place was saved
        // again meanwhile is left as the reader has it.
        QDateTime placeSavedWhenRead{};
        EncodingChoice encoding = EncodingChoice::Automatic;
        ReadingPlace place{};
        QString chapterTitle{};
        double progress = 0;
        QDateTime lastRead{};      // kept when the library's is later
        QDateTime placeChanged{};  // when it was read to `place`, wherever that was
    };
    QList<Place> places{};
    QStringList removedBooks{};           // by path
    QList<Bookmark> bookmarks{};          // added, or their note changed, by uid
    QStringList removedBookmarks{};       // by uid
    QHash<QString, QByteArray> values{};  // SyncValue(name) afterwards
};

// The library and its bookmarks, in an SQLite database of their own
// (library.sqlite). Each change is one transaction, and the journal is a
// write-ahead log: a crash or a full disk loses at most the change under
// way and never harms what was there. The schema carries its version and
// is brought up to date on opening.
//
// Every method runs on the thread that made the store. A change that
// cannot be written says why in the result (the disk full, the file
// read-only) and leaves the database as it was.
class LibraryStore {
public:
    // Opens or makes the database at `path`. A file that is not a database
    // of ours, or is damaged, is moved aside (".broken") and a new one made,
    // rather than failing every later change.
    explicit LibraryStore(const QString& path);
    ~LibraryStore();
    LibraryStore(const LibraryStore&) = delete;
    LibraryStore& operator=(const LibraryStore&) = delete;

    bool IsOpen() const;
    // Written by a newer reader: it is read, and every change fails.
    bool IsReadOnly() const;
    QString Path() const;
    // Why the database could not be opened or the last change not written;
    // after an opening that moved a damaged file aside or found a newer
    // reader's library, says so until the next change. Empty: all is well.
    QString LastError() const;

    // The schema version this build writes.
    static int SchemaVersion();

    // A book as it was opened, read or closed: added when new, else its
    // facts updated (size, encoding, skin, chapter count, place, title,
    // progress) and its reading time set to `when`. `added` is kept, and so
    // are a known size and chapter count when `book` has -1 for them.
    FileWriteResult NoteBook(const LibraryBook& book, const QDateTime& when);
    // Many books at once (a folder scan): the new ones are added with their
    // size and nothing read; those already in the library are left alone.
    // One transaction. Returns how many were new through `added`.
    FileWriteResult AddBooks(const QList<LibraryBook>& books, int* added = nullptr);
    // Forgets a book and its bookmarks. The file itself is never touched.
    FileWriteResult RemoveBook(const QString& path);
    // The book at `from` is now at `to` (重新定位): its history and
    // bookmarks move with it. Fails when `to` is already in the library.
    FileWriteResult MoveBook(const QString& from, const QString& to);

    std::optional<LibraryBook> Book(const QString& path) const;
    // Every book, most recently read first, then most recently added.
    QList<LibraryBook> Books() const;

    // Bookmarks: added with a new id (returned through `id`), renamed (the
    // note), removed. Bookmarks() lists a book's (or every book's, for an
    // empty path) in book order, then by place.
    FileWriteResult AddBookmark(const Bookmark& mark, qint64* id = nullptr);
    FileWriteResult SetBookmarkNote(qint64 id, const QString& note);
    FileWriteResult RemoveBookmark(qint64 id);
    QList<Bookmark> Bookmarks(const QString& path = {}) const;

    // The sync's own values (what the computers last agreed on, the
    // server's tags); empty when never set.
    QByteArray SyncValue(const QString& name) const;
    // Brings another computer's changes in: all of them, or none.
    FileWriteResult ApplySync(const LibrarySyncChange& change);

private:
    struct Database;
    Database* db_;
};
