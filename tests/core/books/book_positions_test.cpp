#include "core/books/book_positions.h"
#include "core/books/book_settings.h"
#include "core/books/reader_memory.h"
#include "core/text/line_reader.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

// Four books as a session leaves them: read inside the chapter it shows,
// moved on since it was last read inside one, on its contents view, and
// one whose name the file cannot hold.
ReaderState SessionOfFourBooks()
{
    ReaderState state;
    state.Books.Add(QStringLiteral("/书/甲.txt"), QStringLiteral("甲.txt"));
    state.Books.Add(QStringLiteral("/书/乙,丙.txt"), QStringLiteral("乙,丙.txt"));
    state.Books.Add(QStringLiteral("/书/坏\r\n.txt"), QStringLiteral("坏"));
    state.Books.Add(QStringLiteral("/书/丁.txt"), QStringLiteral("丁.txt"));
    state.Books[1].ChapterIndex = 12;
    state.Books[1].Place = {12, 3456};
    state.Books[1].ChosenEncoding = EncodingChoice::Big5;
    state.Books[2].ChapterIndex = 5;
    state.Books[2].Place = {4, 999};  // read in chapter 4, then stepped on
    state.Books[2].ChosenEncoding = EncodingChoice::Utf16LE;
    state.Books[3].Place = {0, 7};
    state.Books[4].ChapterIndex = -1;
    state.Books[4].Place = {-1, 50};
    return state;
}

TEST(BookPos, OneLinePerBookThatBookIniHoldsWithPlaceAndEncoding)
{
    const ReaderState state = SessionOfFourBooks();
    EXPECT_EQ(BookPosText(state),
              QStringLiteral("Name=/书/甲.txt,id=12,Pos=3456,Enc=Big5\r\n"
                             "Name=/书/乙,丙.txt,id=5,Pos=0,Enc=UTF-16LE\r\n"
                             "Name=/书/丁.txt,id=-1,Pos=0,Enc=\r\n"));
    EXPECT_EQ(BookPosText(ReaderState()), QString());

    // The books of book.pos are the books of book.ini, in the same order.
    QStringList iniPaths;
    QStringList posPaths;
    for (const QString& line : BookIniText(state, 1).split(QStringLiteral("\r\n")).mid(1))
        iniPaths.append(line.section(QStringLiteral(",Xcolor="), 0, 0));
    for (const QString& line : BookPosText(state).split(QStringLiteral("\r\n")))
        posPaths.append(line.section(QStringLiteral(",id="), 0, 0));
    EXPECT_EQ(posPaths, iniPaths);

    TempFolder folder;
    const QString path = folder.Path(QString::fromUtf16(kBookPosName));
    ASSERT_TRUE(WriteBookPos(path, state));
    EXPECT_EQ(ReadBytes(path), EncodeGb18030(BookPosText(state)));
}

// What one close writes, the next start reads back for every book, through
// the same reading of settings files as book.ini's.
TEST(BookPos, EveryWrittenBookReadsBack)
{
    ReaderState state = SessionOfFourBooks();
    // GBK bytes that are valid UTF-8 too (小说, 目录) must not be taken for UTF-8.
    const int slot = state.Books.Add(QStringLiteral("/小说/目录.txt"), QStringLiteral("目录.txt"));
    state.Books[slot].ChapterIndex = 0;
    state.Books[slot].Place = {0, 2147483648LL};
    TempFolder folder;
    const QString path = folder.Path(QString::fromUtf16(kBookPosName));
    ASSERT_TRUE(WriteBookPos(path, state));
    const std::optional<QStringList> lines = ReadTextLines(path, EncodingGuess::Settings);
    ASSERT_TRUE(lines);

    struct Expected {
        int slot;
        ReadingPlace place;
        EncodingChoice encoding;
    };
    for (const Expected& e :
         {Expected{1, {12, 3456}, EncodingChoice::Big5}, Expected{2, {5, 0}, EncodingChoice::Utf16LE},
          Expected{4, {-1, 0}, EncodingChoice::Automatic},
          Expected{slot, {0, 2147483648LL}, EncodingChoice::Automatic}}) {
        const std::optional<RememberedPosition> found = FindRememberedPosition(*lines, state.Books[e.slot].Path);
        ASSERT_TRUE(found) << e.slot;
        EXPECT_EQ(found->place, e.place) << e.slot;
        EXPECT_EQ(found->encoding, e.encoding) << e.slot;
    }
    EXPECT_FALSE(FindRememberedPosition(*lines, state.Books[3].Path));
}

TEST(BookPos, LinesOfOtherPathsAndDamagedFieldsRestoreNothingOfThem)
{
    const QStringList lines = {
        QStringLiteral("Name=/书/甲.txt.bak,id=9,Pos=90,Enc=Big5"),
        QStringLiteral("Name=/书/甲.txt,1.txt,id=8,Pos=80,Enc=Big5"),
        QStringLiteral("Name=/书/甲.txt,id=3,Pos=300,Enc=utf-8"),
        QStringLiteral("Name=/书/旧.txt,id=4,Pos=40"),
        QStringLiteral("Name=/书/怪.txt,id=4,Pos=40,Enc=KOI8-R"),
        QStringLiteral("Name=/书/坏.txt,id=四,Pos=40,Enc=GB18030"),
        QStringLiteral("Name=/书/负.txt,id=4,Pos=-40,Enc=UTF-16BE"),
        QStringLiteral("Name=/书/短.txt,id=4"),
        QStringLiteral("Name=/书/乱.txt,id=4,Enc=Big5,Pos=40"),
        QStringLiteral("Name=/书/甲.txt,id=5,Pos=500,Enc="),
    };
    auto find = [&](const char16_t* path) { return FindRememberedPosition(lines, QString::fromUtf16(path)); };

    // The whole path, and the first of its lines.
    std::optional<RememberedPosition> found = find(u"/书/甲.txt");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->place, (ReadingPlace{3, 300}));
    EXPECT_EQ(found->encoding, EncodingChoice::Utf8);  // letter case aside
    found = find(u"/书/甲.txt,1.txt");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->place, (ReadingPlace{8, 80}));

    // No encoding field, or one of no encoding we read: automatic.
    for (const char16_t* path : {u"/书/旧.txt", u"/书/怪.txt"}) {
        found = find(path);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->place, (ReadingPlace{4, 40}));
        EXPECT_EQ(found->encoding, EncodingChoice::Automatic);
    }
    // A chapter or offset that cannot be read back is no place; the
    // encoding still counts.
    found = find(u"/书/坏.txt");
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->place);
    EXPECT_EQ(found->encoding, EncodingChoice::Gb18030);
    found = find(u"/书/负.txt");
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->place);
    EXPECT_EQ(found->encoding, EncodingChoice::Utf16BE);
    // Fields out of their order are not guessed at.
    for (const char16_t* path : {u"/书/短.txt", u"/书/乱.txt"}) {
        found = find(path);
        ASSERT_TRUE(found);
        EXPECT_FALSE(found->place);
        EXPECT_EQ(found->encoding, EncodingChoice::Automatic);
    }
    EXPECT_FALSE(find(u"/书/甲"));
    EXPECT_FALSE(find(u"/书/无.txt"));
}

}  // namespace

namespace {

// What the reader remembers is read once: a copy of the reader writing the
// files later in the session does not change what this one restores, and
// what it saves is what it answers afterwards.
TEST(ReaderMemoryTest, ReadsBothFilesOnceAndAnswersWhatItSaved)
{
    TempFolder folder;
    const QString book = folder.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n"));
    folder.WriteGbk(QStringLiteral("book.ini"), "[Version1.0]\r\nName=" + book + ",Xcolor=水墨,id=3,SelStart=1\r\n");
    folder.WriteGbk(QStringLiteral("book.pos"), "Name=" + book + ",id=3,Pos=77,Enc=Big5\r\n");
    ReaderMemory memory(ReaderFolders::Portable(folder.Root()));
    EXPECT_EQ(memory.RecentPaths(), QStringList({book}));
    folder.WriteGbk(QStringLiteral("book.ini"), QStringLiteral("[Version1.0]\r\n"));

    RememberedBook remembered;
    ASSERT_EQ(memory.FindBook(book, remembered), RestoreLookup::Found);
    EXPECT_EQ(remembered.chapterIndex, 3);
    EXPECT_EQ(memory.PositionOf(book)->encoding, EncodingChoice::Big5);

    ReaderState state;
    state.Books.Add(book, QStringLiteral("甲.txt"));
    state.Books[1].ChapterIndex = 9;
    ASSERT_TRUE(memory.Save(state, 1).bookIni);
    ASSERT_EQ(memory.FindBook(book, remembered), RestoreLookup::Found);
    EXPECT_EQ(remembered.chapterIndex, 9);
    EXPECT_EQ(memory.PositionOf(book)->encoding, EncodingChoice::Automatic);
    EXPECT_EQ(ReaderMemory(ReaderFolders::Portable(folder.Root())).RecentPaths(), QStringList({book}));
}

}  // namespace
