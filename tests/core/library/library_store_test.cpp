#include "core/library/library_store.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

QDateTime At(qint64 millis)
{
    return QDateTime::fromMSecsSinceEpoch(millis, Qt::UTC);
}

QStringList PathsOf(const QList<LibraryBook>& books)
{
    QStringList paths;
    for (const LibraryBook& book : books)
        paths.append(book.path);
    return paths;
}

TEST(LibraryBook, TitleIsTheFileNameAndFolderWhatIsBeforeIt)
{
    EXPECT_EQ(LibraryBook{.path = QStringLiteral("/书/斗气 [全本].TXT")}.Title(), QStringLiteral("斗气 [全本]"));
    EXPECT_EQ(LibraryBook{.path = QStringLiteral("/书/斗气 [全本].TXT")}.Folder(), QStringLiteral("/书"));
    EXPECT_EQ(LibraryBook{.path = QStringLiteral("/a.txt.bak")}.Title(), QStringLiteral("a.txt.bak"));
    EXPECT_EQ(LibraryBook{.path = QStringLiteral("/a.txt.bak")}.Folder(), QStringLiteral("/"));
    EXPECT_EQ(LibraryBook{.path = QStringLiteral("甲.txt")}.Folder(), QString());
}

TEST(LibraryStore, NoteBookAddsThenUpdatesAndSurvivesReopening)
{
    TempFolder folder;
    const QString file = folder.Path(QStringLiteral("library.sqlite"));
    LibraryBook book{.path = QStringLiteral("/小说/甲.txt"), .size = 123456, .chapterCount = 80};
    book.encoding = EncodingChoice::Big5;
    book.skinName = QStringLiteral("言情");
    book.place = {7, 1234};
    book.chapterTitle = QStringLiteral("第八章 归来");
    book.progress = 0.125;
    {
        LibraryStore store(file);
        ASSERT_TRUE(store.IsOpen()) << qPrintable(store.LastError());
        ASSERT_TRUE(store.NoteBook(book, At(1000)));

        // Read again later: the place moves on; what was not known this time is kept.
        LibraryBook again = book;
        again.size = -1;
        again.chapterCount = -1;
        again.place = {9, 5};
        again.added = At(5);  // ignored: the book came in at its first reading
        ASSERT_TRUE(store.NoteBook(again, At(2000)));
    }
    LibraryStore reopened(file);
    LibraryBook expected = book;
    expected.place = {9, 5};
    expected.added = At(1000);
    expected.lastRead = At(2000);
    expected.placeSaved = At(2000);
    expected.placeChanged = At(2000);
    EXPECT_EQ(reopened.Book(book.path), expected);
    EXPECT_EQ(reopened.Books(), QList<LibraryBook>{expected});
    EXPECT_FALSE(reopened.Book(QStringLiteral("/小说/乙.txt")).has_value());
}

TEST(LibraryStore, AddBooksAddsOnlyNewOnesAndBooksListsRecentReadingFirst)
{
    TempFolder folder;
    LibraryStore store(folder.Path(QStringLiteral("library.sqlite")));
    const QString read = QStringLiteral("/书/读过.txt");
    ASSERT_TRUE(store.NoteBook(LibraryBook{.path = read, .size = 10}, At(500)));
    ASSERT_TRUE(store.NoteBook(LibraryBook{.path = QStringLiteral("/书/更早读过.txt")}, At(400)));

    const QList<LibraryBook> scan = {
        LibraryBook{.path = read, .size = 99},
        LibraryBook{.path = QStringLiteral("/书/旧.txt"), .size = 1, .added = At(100)},
        LibraryBook{.path = QStringLiteral("/书/新.txt"), .size = 2, .added = At(300)},
    };
    int added = -1;
    ASSERT_TRUE(store.AddBooks(scan, &added));
    EXPECT_EQ(added, 2);
    EXPECT_EQ(store.Book(read)->size, 10);
    EXPECT_FALSE(store.Book(QStringLiteral("/书/新.txt"))->lastRead.isValid());
    EXPECT_EQ(PathsOf(store.Books()),
              QStringList({read, QStringLiteral("/书/更早读过.txt"), QStringLiteral("/书/新.txt"),
                           QStringLiteral("/书/旧.txt")}));
    ASSERT_TRUE(store.AddBooks(scan, &added));
    EXPECT_EQ(added, 0);
}

TEST(LibraryStore, BookmarksMoveWithTheirBookAndGoWhenItIsRemoved)
{
    TempFolder folder;
    LibraryStore store(folder.Path(QStringLiteral("library.sqlite")));
    const QString a = QStringLiteral("/书/甲.txt");
    const QString b = QStringLiteral("/书/乙.txt");
    ASSERT_TRUE(store.NoteBook(LibraryBook{.path = a}, At(1)));
    ASSERT_TRUE(store.NoteBook(LibraryBook{.path = b}, At(2)));

    Bookmark later{.path = a,
                   .place = {5, 10},
                   .chapterTitle = QStringLiteral("第六章"),
                   .excerpt = QStringLiteral("他抬头看天。"),
                   .created = At(30),
                   .uid = QStringLiteral("u1")};
    Bookmark earlier{.path = a, .place = {2, 400}, .note = QStringLiteral("伏笔"), .created = At(40)};
    Bookmark other{.path = b, .place = {0, 0}, .created = At(50), .uid = QStringLiteral("u3")};
    for (Bookmark* mark : {&later, &earlier, &other}) {
        ASSERT_TRUE(store.AddBookmark(*mark, &mark->id));
        mark->changed = mark->created;
    }
    EXPECT_NE(later.id, earlier.id);
    // One made here gets a uid of its own, to be known by on every computer.
    earlier.uid = store.Bookmarks(a).value(0).uid;
    EXPECT_EQ(earlier.uid.size(), 32);
    EXPECT_EQ(store.Bookmarks(a), QList<Bookmark>({earlier, later}));
    EXPECT_FALSE(store.AddBookmark(Bookmark{.path = QStringLiteral("/书/不在书架.txt")}));

    ASSERT_TRUE(store.SetBookmarkNote(later.id, QStringLiteral("重读")));
    later.note = QStringLiteral("重读");
    later.changed = store.Bookmarks(a).value(1).changed;
    EXPECT_GT(later.changed, later.created);

    // 重新定位: history and bookmarks follow the file; no two books share a path.
    const QString moved = QStringLiteral("/新书/甲.txt");
    ASSERT_TRUE(store.MoveBook(a, moved));
    EXPECT_FALSE(store.Book(a).has_value());
    EXPECT_EQ(store.Book(moved)->lastRead, At(1));
    const FileWriteResult clash = store.MoveBook(b, moved);
    EXPECT_FALSE(clash);
    EXPECT_FALSE(clash.reason.isEmpty());
    EXPECT_FALSE(store.MoveBook(a, QStringLiteral("/别处.txt")));
    earlier.path = later.path = moved;
    EXPECT_EQ(store.Bookmarks(), QList<Bookmark>({other, earlier, later}));  // "/书/" sorts before "/新书/"

    ASSERT_TRUE(store.RemoveBook(moved));
    EXPECT_EQ(store.Bookmarks(), QList<Bookmark>({other}));
    ASSERT_TRUE(store.RemoveBookmark(other.id));
    EXPECT_TRUE(store.Bookmarks().isEmpty());
    EXPECT_EQ(PathsOf(store.Books()), QStringList({b}));
}

}  // namespace
