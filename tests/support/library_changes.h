#pragma once

#include "core/library/library_store.h"

#include <QStringList>

// The changes the crash test's writer makes, one per number, and the books
// each leaves in the library. A change may be made twice (the writer killed
// after writing it, before saying so): every change is the same the second
// time.

inline QString CrashBookPath(int change, int part = -1)
{
    return part < 0 ? QStringLiteral("/书/第%1本.txt").arg(change)
                    : QStringLiteral("/书/批%1/第%2本.txt").arg(change).arg(part);
}

inline QStringList BooksOfCrashChange(int change)
{
    QStringList paths;
    if (change % 3 == 1) {
        for (int part = 0; part < 20; ++part)
            paths.append(CrashBookPath(change, part));
    } else {
        paths.append(CrashBookPath(change));
    }
    return paths;
}

// A book opened and read (with a bookmark every third change), or a folder
// scan's batch.
inline FileWriteResult MakeCrashChange(LibraryStore& store, int change)
{
    const QStringList paths = BooksOfCrashChange(change);
    if (paths.size() > 1) {
        QList<LibraryBook> books;
        for (const QString& path : paths)
            books.append(LibraryBook{.path = path, .size = change});
        return store.AddBooks(books);
    }
    LibraryBook book{.path = paths.first(), .size = 1000 + change, .chapterCount = 12};
    book.place = {3, change};
    book.chapterTitle = QStringLiteral("第三章");
    book.progress = 0.25;
    FileWriteResult written = store.NoteBook(book, QDateTime::currentDateTimeUtc());
    if (written && change % 3 == 2)
        written =
            store.AddBookmark(Bookmark{.path = book.path, .place = book.place, .excerpt = QStringLiteral("一行")});
    return written;
}
