#include "core/library/library_store.h"
#include "support/full_disk.h"
#include "support/sqlite_peek.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

QList<LibraryBook> Shelf(const QString& folder, int count)
{
    QList<LibraryBook> books;
    for (int i = 0; i < count; ++i)
        books.append(LibraryBook{.path = QStringLiteral("/%1/第%2本.txt").arg(folder).arg(i), .size = i});
    return books;
}

TEST(LibraryOpening, AnEmptyFileBecomesALibraryOfTheCurrentSchema)
{
    TempFolder folder;
    const QString file = folder.WriteBytes(QStringLiteral("library.sqlite"), {});
    {
        LibraryStore store(file);
        ASSERT_TRUE(store.IsOpen()) << qPrintable(store.LastError());
        EXPECT_FALSE(store.IsReadOnly());
        EXPECT_TRUE(store.LastError().isEmpty());
        ASSERT_TRUE(store.NoteBook(LibraryBook{.path = QStringLiteral("/书/甲.txt")}, QDateTime::currentDateTimeUtc()));
        EXPECT_EQ(PeekSqlite(file, QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
    }
    EXPECT_EQ(PeekSqlite(file, QStringLiteral("PRAGMA user_version")), QString::number(LibraryStore::SchemaVersion()));
    EXPECT_EQ(PeekSqlite(file, QStringLiteral("SELECT path FROM books")), QStringLiteral("/书/甲.txt"));
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".broken")));
}

// Whatever the file held, it is kept for the user (or a rescue tool) to
// look at, and the reader goes on with an empty library.
TEST(LibraryOpening, DamagedOrForeignFilesAreMovedAsideNeverDeleted)
{
    TempFolder folder;
    const QString damaged = folder.Path(QStringLiteral("damaged.sqlite"));
    {
        LibraryStore store(damaged);
        ASSERT_TRUE(store.AddBooks(Shelf(QStringLiteral("书"), 300)));
    }
    QByteArray bytes = ReadBytes(damaged);
    ASSERT_GT(bytes.size(), 3 * 4096);
    bytes.replace(4096, 2 * 4096, QByteArray(2 * 4096, '\x5a'));
    folder.WriteBytes(QStringLiteral("damaged.sqlite"), bytes);

    const QString text = folder.WriteBytes(QStringLiteral("text.sqlite"), "第一章\r\n这不是数据库。\r\n");
    const QString foreign = folder.Path(QStringLiteral("foreign.sqlite"));
    PeekSqlite(foreign, QStringLiteral("CREATE TABLE notes (body TEXT)"));
    const QByteArray foreignBytes = ReadBytes(foreign);

    for (const auto& [file, before] :
         {std::pair{damaged, bytes}, std::pair{text, ReadBytes(text)}, std::pair{foreign, foreignBytes}}) {
        LibraryStore store(file);
        ASSERT_TRUE(store.IsOpen()) << qPrintable(file);
        EXPECT_TRUE(store.LastError().contains(file + QStringLiteral(".broken"))) << qPrintable(store.LastError());
        EXPECT_EQ(ReadBytes(file + QStringLiteral(".broken")), before) << qPrintable(file);
        EXPECT_TRUE(store.Books().isEmpty());
        EXPECT_TRUE(store.NoteBook(LibraryBook{.path = QStringLiteral("/书/新.txt")}, QDateTime::currentDateTimeUtc()));
    }

    // A second damage does not overwrite the first one's remains.
    folder.WriteBytes(QStringLiteral("text.sqlite"), "又坏了");
    LibraryStore again(text);
    EXPECT_TRUE(again.IsOpen());
    EXPECT_EQ(ReadBytes(text + QStringLiteral(".broken.2")), QByteArray("又坏了"));
    EXPECT_FALSE(ReadBytes(text + QStringLiteral(".broken")).isEmpty());
}

// A newer reader may have changed the layout; this one neither harms nor
// downgrades its library.
TEST(LibraryOpening, ALibraryOfANewerReaderIsReadButNeverChanged)
{
    TempFolder folder;
    const QString file = folder.Path(QStringLiteral("library.sqlite"));
    {
        LibraryStore store(file);
        ASSERT_TRUE(store.NoteBook(LibraryBook{.path = QStringLiteral("/书/甲.txt")}, QDateTime::currentDateTimeUtc()));
    }
    const QString newer = QString::number(LibraryStore::SchemaVersion() + 1);
    PeekSqlite(file, QStringLiteral("PRAGMA user_version = ") + newer);

    LibraryStore store(file);
    ASSERT_TRUE(store.IsOpen());
    EXPECT_TRUE(store.IsReadOnly());
    EXPECT_FALSE(store.LastError().isEmpty());
    EXPECT_EQ(store.Books().size(), 1);
    const FileWriteResult refused = store.RemoveBook(QStringLiteral("/书/甲.txt"));
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.reason.isEmpty());
    EXPECT_EQ(PeekSqlite(file, QStringLiteral("SELECT count(*) FROM books")), QStringLiteral("1"));
    EXPECT_EQ(PeekSqlite(file, QStringLiteral("PRAGMA user_version")), newer);
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".broken")));
}

TEST(LibraryStore, AFullDiskFailsTheChangeWithItsReasonAndKeepsTheLibraryWhole)
{
    SmallDisk disk(2 << 20);
    SKIP_UNLESS_MOUNTED(disk);
    const QString file = disk.Path(QStringLiteral("library.sqlite"));
    LibraryStore store(file);
    ASSERT_TRUE(store.AddBooks(Shelf(QStringLiteral("旧"), 100)));
    ASSERT_TRUE(store.AddBookmark(Bookmark{.path = QStringLiteral("/旧/第7本.txt"), .note = QStringLiteral("记")}));
    const QList<LibraryBook> before = store.Books();
    const QList<Bookmark> marks = store.Bookmarks();
    ASSERT_TRUE(disk.Fill());

    const FileWriteResult refused = store.AddBooks(Shelf(QStringLiteral("新"), 3000));
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.reason.contains(QStringLiteral("full"))) << qPrintable(refused.reason);
    EXPECT_EQ(store.LastError(), refused.reason);
    EXPECT_EQ(store.Books(), before);

    ASSERT_TRUE(QFile::remove(disk.Path(QStringLiteral(".filler"))));
    EXPECT_EQ(PeekSqlite(file, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    int added = 0;
    EXPECT_TRUE(store.AddBooks(Shelf(QStringLiteral("新"), 3000), &added));
    EXPECT_EQ(added, 3000);
    for (const LibraryBook& book : before)
        EXPECT_EQ(store.Book(book.path), book);
    EXPECT_EQ(store.Bookmarks(), marks);
}

}  // namespace

// A library of the last release (version 1) keeps its books and bookmarks
// on opening: each bookmark gets a uid of its own, and each book's place
// the time it was saved as the time it changed.
TEST(LibraryOpening, ALibraryOfTheLastReleaseKeepsEverythingWhenBroughtUpToDate)
{
    TempFolder folder;
    const QString file = folder.Path(QStringLiteral("library.sqlite"));
    const QDateTime read = QDateTime::fromMSecsSinceEpoch(5000, Qt::UTC);
    {
        LibraryStore store(file);
        ASSERT_TRUE(store.NoteBook({.path = QStringLiteral("/书/甲.txt"), .place = {3, 9}}, read));
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(store.AddBookmark({.path = QStringLiteral("/书/甲.txt"), .place = {i, 0}, .note = "记"}));
    }
    // Back to version 1, as the last release wrote it.
    for (const char* step : {"DROP INDEX bookmarks_by_uid", "ALTER TABLE bookmarks DROP COLUMN uid",
                             "ALTER TABLE bookmarks DROP COLUMN changed", "ALTER TABLE books DROP COLUMN place_changed",
                             "DROP TABLE sync_meta", "PRAGMA user_version = 1"})
        PeekSqlite(file, QString::fromLatin1(step));
    ASSERT_EQ(PeekSqlite(file, QStringLiteral("SELECT count(*) FROM pragma_table_info('bookmarks')")),
              QStringLiteral("8"));

    LibraryStore store(file);
    EXPECT_EQ(store.Book(QStringLiteral("/书/甲.txt"))->placeChanged, read);
    const QList<Bookmark> marks = store.Bookmarks();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[0].uid.size(), 32);
    EXPECT_NE(marks[0].uid, marks[1].uid);
    EXPECT_EQ(marks[0].changed, marks[0].created);
    EXPECT_EQ(marks[1].note, QStringLiteral("记"));
}
