#include "core/books/book_settings.h"
#include "core/text/line_reader.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

TEST(BookIni, WritesOneLinePerBookWithCrLf)
{
    ReaderState state;
    SkinEntry skin;
    skin.Name = QStringLiteral("言情");
    state.Skins.Append(skin);
    state.Books.Add(QStringLiteral("/书/甲.txt"), QStringLiteral("甲.txt"));
    state.Books.Add(QStringLiteral("/书/乙,丙.txt"), QStringLiteral("乙,丙.txt"));
    state.Books.Add(QStringLiteral("/书/丁.txt"), QStringLiteral("丁.txt"));
    state.Books[1].ChapterIndex = 12;
    state.Books[1].SkinIndex = 1;
    state.Books[2].ChapterIndex = -1;
    state.Books[3].SkinIndex = 7;  // names no skin: written without a name
    EXPECT_EQ(BookIniText(state, 1),
              QStringLiteral("[Version1.0]\r\n"
                             "Name=/书/甲.txt,Xcolor=言情,id=12,SelStart=1\r\n"
                             "Name=/书/乙,丙.txt,Xcolor=,id=-1,SelStart=1\r\n"
                             "Name=/书/丁.txt,Xcolor=,id=0,SelStart=1\r\n"));
    EXPECT_EQ(BookIniText(ReaderState(), 5), QStringLiteral("[Version1.0]\r\n"));

    TempFolder folder;
    const QString path = folder.Path(QStringLiteral("book.ini"));
    ASSERT_TRUE(WriteBookIni(path, state, 1));
    EXPECT_EQ(ReadBytes(path), EncodeGb18030(BookIniText(state, 1)));
}

TEST(BookIni, RecentListKeepsExistingPathsUntilAnUnreadableLine)
{
    TempFolder folder;
    const QString a = folder.WriteBytes(QStringLiteral("甲.txt"), "x");
    const QString b = folder.WriteBytes(QStringLiteral("乙.txt"), "x");
    const QString missing = folder.Path(QStringLiteral("无.txt"));
    EXPECT_EQ(RecentPaths({"[Version1.0]", "Name=" + a + ",Xcolor=,id=0,SelStart=1",
                           "Name=" + missing + ",Xcolor=,id=0,SelStart=1", "Name=" + b + ",Xcolor=,id=3,SelStart=1"}),
              QStringList({a, b}));
    // An empty line ends the list; so does a line too short for "Name=".
    EXPECT_EQ(RecentPaths({"Name=" + a + ",x", "", "Name=" + b + ",x"}), QStringList({a}));
    EXPECT_EQ(RecentPaths({"Name=" + a + ",x", "abc", "Name=" + b + ",x"}), QStringList({a}));
    // A path with a comma is cut at it and normally not found.
    const QString comma = folder.WriteBytes(QStringLiteral("丙,丁.txt"), "x");
    EXPECT_EQ(RecentPaths({"Name=" + comma + ",Xcolor=,id=0,SelStart=1"}), QStringList());
    // A book.ini grown huge (by hand, by another program) lists each file
    // once, and never more than a session holds.
    QStringList huge;
    for (int i = 0; i < 100000; ++i)
        huge.append("Name=" + (i % 2 ? a : b) + ",Xcolor=,id=0,SelStart=1");
    EXPECT_EQ(RecentPaths(huge), QStringList({b, a}));
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many.append("Name=" + folder.WriteBytes(QStringLiteral("%1.txt").arg(i), "x") + ",Xcolor=,id=0,SelStart=1");
    EXPECT_EQ(RecentPaths(many).size(), kMaxRecentFiles);
}

TEST(BookIni, RestoreMatchesTheWholePathField)
{
    const QStringList lines = {
        "[Version1.0]",
        QStringLiteral("Name=/书/甲.txt.bak,Xcolor=夜读,id=9,SelStart=1"),
        QStringLiteral("Name=/书/甲.txt,Xcolor=言情,id=5,SelStart=99"),
        QStringLiteral("Name=/书/乙,丙.txt,Xcolor=水墨,id=-1,SelStart=1"),
        QStringLiteral("Name=/书/坏.txt,Xcolor=言情,id=五,SelStart=1"),
        QStringLiteral("Name=/书/短.txt,Xcolor=言情"),
    };
    RememberedBook found;
    ASSERT_EQ(FindRememberedBook(lines, QStringLiteral("/书/甲.txt"), found), RestoreLookup::Found);
    EXPECT_EQ(found.skinName, QStringLiteral("言情"));
    EXPECT_EQ(found.chapterIndex, 5);
    ASSERT_EQ(FindRememberedBook(lines, QStringLiteral("/书/乙,丙.txt"), found), RestoreLookup::Found);
    EXPECT_EQ(found.skinName, QStringLiteral("水墨"));
    EXPECT_EQ(found.chapterIndex, -1);
    EXPECT_EQ(FindRememberedBook(lines, QStringLiteral("/书/坏.txt"), found), RestoreLookup::Unreadable);
    EXPECT_EQ(FindRememberedBook(lines, QStringLiteral("/书/短.txt"), found), RestoreLookup::Unreadable);
    EXPECT_EQ(FindRememberedBook(lines, QStringLiteral("/书/甲"), found), RestoreLookup::NoLine);
}

TEST(BookIni, ChapterNumbersAreDecimal32BitIntegers)
{
    EXPECT_EQ(ParseInt32(u" -12 "), -12);
    EXPECT_EQ(ParseInt32(u"2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
    for (const char16_t* bad : {u"", u"-", u"2147483648", u"1.5", u"0x10", u"１２"})
        EXPECT_FALSE(ParseInt32(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}

}  // namespace

namespace {

// book.ini as the reader writes it (GB18030) may also be valid UTF-8: the
// GBK bytes of 小说 (D0 A1 CB B5) and 目录 (C4 BF C2 BC) are. It must read
// back as it was written, or the recent list and the restore find nothing.
TEST(BookIni, ReadsBackPathsWhoseGbkBytesAreValidUtf8)
{
    TempFolder folder;
    const QString book = folder.WriteGbk(QStringLiteral("小说/目录.txt"), QStringLiteral("第一章\r\n"));
    ASSERT_TRUE(EncodeGb18030(book).size() > 0);
    ReaderState state;
    SkinEntry skin;
    skin.Name = QStringLiteral("水墨");
    state.Skins.Append(skin);
    state.Books.Add(book, QStringLiteral("目录.txt"));
    state.Books[1].ChapterIndex = 3;
    state.Books[1].SkinIndex = 1;
    const QString ini = folder.Path(QStringLiteral("book.ini"));
    ASSERT_TRUE(WriteBookIni(ini, state, 1));

    const std::optional<QStringList> lines = ReadTextLines(ini, EncodingGuess::Settings);
    ASSERT_TRUE(lines);
    EXPECT_EQ(RecentPaths(*lines), QStringList{book});
    RememberedBook remembered;
    ASSERT_EQ(FindRememberedBook(*lines, book, remembered), RestoreLookup::Found);
    EXPECT_EQ(remembered.skinName, QStringLiteral("水墨"));
    EXPECT_EQ(remembered.chapterIndex, 3);
}

}  // namespace

namespace {

// A Linux file name may hold CR or LF. Written as it stands, it would end
// its line early and add lines of its own (an empty one ends the recent
// list), so such a book is left out and the others stay as they were.
TEST(BookIni, BooksWhoseNamesHoldLineBreaksAreLeftOut)
{
    ReaderState state;
    state.Books.Add(QStringLiteral("/书/甲.txt"), QStringLiteral("甲.txt"));
    state.Books.Add(QStringLiteral("/书/坏\r\n\r\nName=/etc/passwd.txt"), QStringLiteral("坏"));
    state.Books.Add(QStringLiteral("/书/只有换行\n.txt"), QStringLiteral("只有换行"));
    state.Books.Add(QStringLiteral("/书/只有回车\r.txt"), QStringLiteral("只有回车"));
    state.Books.Add(QStringLiteral("/书/乙.txt"), QStringLiteral("乙.txt"));
    state.Books[5].ChapterIndex = 4;
    // A skin file may be named so too: the book keeps its line, without it.
    SkinEntry skin;
    skin.Name = QStringLiteral("皮\r\nName=/etc/passwd.txt");
    state.Skins.Append(skin);
    state.Books[1].SkinIndex = 1;
    EXPECT_EQ(BookIniText(state, 2),
              QStringLiteral("[Version1.0]\r\n"
                             "Name=/书/甲.txt,Xcolor=,id=0,SelStart=2\r\n"
                             "Name=/书/乙.txt,Xcolor=,id=4,SelStart=2\r\n"));
    EXPECT_TRUE(CanBeRemembered(QStringLiteral("/书/甲,乙 丙\t.txt")));
    EXPECT_FALSE(CanBeRemembered(QStringLiteral("\n")));
}

// The skin name is the skin field less its first 7 characters: a shorter
// field gives an empty name, and the chapter is restored all the same.
TEST(BookIni, ShortSkinFieldRestoresTheChapterWithoutASkin)
{
    RememberedBook found;
    ASSERT_EQ(
        FindRememberedBook({QStringLiteral("Name=/书/a.txt,Xco,id=7,SelStart=1")}, QStringLiteral("/书/a.txt"), found),
        RestoreLookup::Found);
    EXPECT_EQ(found.skinName, QString());
    EXPECT_EQ(found.chapterIndex, 7);
    ASSERT_EQ(FindRememberedBook({QStringLiteral("Name=/书/a.txt,,id=-1")}, QStringLiteral("/书/a.txt"), found),
              RestoreLookup::Found);
    EXPECT_EQ(found.chapterIndex, -1);
    // Exactly "Xcolor=" is an empty name too; a chapter field too short to
    // hold "id=" still cannot be read back.
    ASSERT_EQ(FindRememberedBook({QStringLiteral("Name=/书/a.txt,Xcolor=,id=2")}, QStringLiteral("/书/a.txt"), found),
              RestoreLookup::Found);
    EXPECT_EQ(found.skinName, QString());
    EXPECT_EQ(FindRememberedBook({QStringLiteral("Name=/书/a.txt,Xcolor=言情,id")}, QStringLiteral("/书/a.txt"), found),
              RestoreLookup::Unreadable);
}

}  // namespace
