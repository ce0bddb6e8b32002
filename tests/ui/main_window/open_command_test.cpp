// The open commands ("打开" and the recent files) with books already in the
// store, restored skins, short book.ini lines and the failures a user must
// hear of.

#include "core/books/book_settings.h"
#include "support/as_nobody.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/start_up.h"

#include <QFile>

namespace {

class OpenCommand : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        LoadTwoSkins();
    }
    QString Book(const QString& name, int chapters)
    {
        QString text;
        for (int i = 1; i <= chapters; ++i)
            text += QStringLiteral("第%1回\r\n第%1回正文\r\n").arg(i);
        return WriteBook(name, text);
    }
    void Open(const QString& path)
    {
        prompter.files = {path};
        window->OpenFile();
        WaitUntilIdle(*window);
    }
    int Skin(const char* name) const
    {
        for (int i = 1; i <= state.Skins.Count(); ++i) {
            if (state.Skins[i].Name == QString::fromUtf8(name))
                return i;
        }
        return 0;
    }
};

// The restored skin is the book's own: the close writes it back, so it is
// not lost at the third start (it used to be written as "Xcolor=").
TEST_F(OpenCommand, RestoredSkinBecomesTheBooksOwnAndIsWrittenBack)
{
    const QString path = Book(QStringLiteral("西游记.txt"), 8);
    const QString other = Book(QStringLiteral("红楼梦.txt"), 4);
    // book.ini is read once, at the first open.
    WriteIni({QStringLiteral("[Version1.0]"), "Name=" + path + QStringLiteral(",Xcolor=水墨,id=2,SelStart=1"),
              "Name=" + other + QStringLiteral(",Xcolor=,id=3,SelStart=1")});
    window->RecentFiles().SetCaption(0, path);
    window->OpenRecent(0);
    WaitUntilIdle(*window);
    EXPECT_EQ(state.CurrentSkin, Skin("水墨"));
    EXPECT_EQ(state.Current().SkinIndex, Skin("水墨"));
    EXPECT_TRUE(BookIniText(state, 1).contains(QStringLiteral(",Xcolor=水墨,id=2,")));

    // A line without a skin name restores the chapter and leaves the skin
    // and the book's own skin alone.
    Open(other);
    EXPECT_EQ(state.Current().ChapterIndex, 3);
    EXPECT_EQ(state.Current().SkinIndex, 0);
    EXPECT_EQ(state.CurrentSkin, Skin("水墨"));
}

// Opening a book that is already open shows it where this session left it,
// in its own skin; book.ini's place from the last close is not restored.
TEST_F(OpenCommand, AlreadyOpenBookStaysWhereThisSessionLeftIt)
{
    const QString path = Book(QStringLiteral("西游记.txt"), 8);
    WriteIni({QStringLiteral("[Version1.0]"), "Name=" + path + QStringLiteral(",Xcolor=水墨,id=2,SelStart=1")});
    Open(path);
    ASSERT_EQ(state.Current().ChapterIndex, 2);
    for (int step = 0; step < 3; ++step)
        window->NextChapter();
    window->ChooseSkin(Skin("言情"));
    ASSERT_EQ(state.Current().ChapterIndex, 5);

    for (const bool fromRecent : {false, true}) {
        if (fromRecent) {
            window->RecentFiles().SetCaption(0, path);
            window->OpenRecent(0);
            WaitUntilIdle(*window);
        } else {
            Open(path);
        }
        EXPECT_EQ(state.Books.Count(), 1);
        EXPECT_EQ(state.Current().ChapterIndex, 5);
        EXPECT_EQ(window->Pane().Text(), QStringLiteral("第6回正文\r\n"));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:西游记.txt——第6回"));
        EXPECT_EQ(state.CurrentSkin, Skin("言情"));
        EXPECT_EQ(window->BookItems().Captions(), QStringList{QStringLiteral("西游记.txt")});
        EXPECT_EQ(window->ChapterItems().Count(), 8);
    }

    // Back from another book, the first comes back in its own skin.
    const QString other = Book(QStringLiteral("红楼梦.txt"), 3);
    Open(other);
    window->ChooseSkin(Skin("水墨"));
    Open(path);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.CurrentSkin, Skin("言情"));
    EXPECT_EQ(state.Current().ChapterIndex, 5);
    EXPECT_TRUE(prompter.messages.empty());
}

// A skin field shorter than "Xcolor=" names no skin, but the chapter is
// restored (it used to restore nothing).
TEST_F(OpenCommand, ShortSkinFieldStillRestoresTheChapter)
{
    const QString path = Book(QStringLiteral("a.txt"), 9);
    WriteIni({QStringLiteral("[Version1.0]"), "Name=" + path + QStringLiteral(",Xco,id=7,SelStart=1")});
    const std::uint8_t skin = state.CurrentSkin;
    Open(path);
    EXPECT_EQ(state.Current().ChapterIndex, 7);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("第8回正文\r\n"));
    EXPECT_EQ(state.CurrentSkin, skin);
}

// A file that exists but cannot be read used to open nothing in silence.
TEST_F(OpenCommand, FileThatCannotBeReadIsReported)
{
    const QString path = Book(QStringLiteral("锁.txt"), 2);
    QFile::setPermissions(books.Root(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
                              | QFile::ReadGroup | QFile::ExeGroup);
    ASSERT_TRUE(QFile::setPermissions(path, {}));
    {
        AsNobody nobody;
        Open(path);
    }
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("文件打开错误!")));
    EXPECT_TRUE(prompter.messages[0].text.contains(path));
    EXPECT_EQ(state.Books.Count(), 0);
    EXPECT_EQ(window->BookItems().Captions(), QStringList{QStringLiteral("空")});
}

// A 256th book is refused with "溢出", and the store keeps its 255 books.
TEST_F(OpenCommand, FullStoreIsReported)
{
    for (int i = 1; i <= BookStore::kMaxBooks; ++i)
        state.Books.Add(QStringLiteral("/书/%1.txt").arg(i), QStringLiteral("%1.txt").arg(i));
    state.CurrentBook = 3;
    Open(Book(QStringLiteral("多一本.txt"), 2));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("溢出")));
    EXPECT_EQ(state.Books.Count(), BookStore::kMaxBooks);
    EXPECT_EQ(state.CurrentBook, 3);
}

// A book with more chapters than the store numbers is cut off after chapter
// 32767: it used to stop there in silence, listed nowhere.
TEST_F(OpenCommand, BookCutOffAtTheLastChapterIsReportedAndShown)
{
    QString text;
    text.reserve(32770 * 14);
    for (int i = 1; i <= 32770; ++i)
        text += QStringLiteral("第%1章\r\n文\r\n").arg(i);
    const QString path = WriteBook(QStringLiteral("长.txt"), text);
    Open(path);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("溢出")))
        << prompter.messages[0].text.toStdString();
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("32768")));
    ASSERT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Current().LastChapter(), 32767);
    EXPECT_EQ(window->ChapterItems().Count(), 32768);
    EXPECT_EQ(window->BookItems().Captions(), QStringList{QStringLiteral("长.txt")});
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("文\r\n"));  // chapter 0, as any book opened without settings
}

}  // namespace

namespace {

// Three starts in one process, each a new state and a new window on the
// same program folder: books opened from the recent list come back at the
// chapter and in the skin they had, every path in folders named 小说 and 目录.
TEST(ThreeStarts, EveryBookKeepsItsChapterAndSkin)
{
    TempFolder root;
    const QString programFolder = root.Path(QStringLiteral("小说/目录"));
    QDir().mkpath(programFolder + QStringLiteral("/Skin"));
    for (const char* skin : {"言情", "水墨", "夜读"})
        root.WriteGbk(QStringLiteral("小说/目录/Skin/") + QString::fromUtf8(skin) + QStringLiteral(".ini"),
                      QStringLiteral("[Version1.0]\r\nFontSize=12\r\n"));
    QString text;
    for (int i = 1; i <= 9; ++i)
        text += QStringLiteral("第%1回\r\n正文\r\n").arg(i);
    const QString journey = root.WriteGbk(QStringLiteral("小说/西游记.txt"), text);
    const QString mansion = root.WriteGbk(QStringLiteral("目录/红楼梦.txt"), text);
    const QString ini = programFolder + QStringLiteral("/book.ini");

    QByteArray first;
    for (int start = 1; start <= 3; ++start) {
        ReaderState state;
        ScriptedPrompter prompter;
        MainWindow window(state, prompter, ReaderFolders::Portable(programFolder));
        StartUp(window);  // the skins, the recent list; no help document here
        auto skin = [&](const char* name) {
            for (int i = 1; i <= state.Skins.Count(); ++i) {
                if (state.Skins[i].Name == QString::fromUtf8(name))
                    return i;
            }
            return 0;
        };
        if (start == 1) {
            prompter.files = {journey, mansion};
            window.OpenFile();
            WaitUntilIdle(window);
            window.NextChapter();
            window.NextChapter();
            window.ChooseSkin(skin("水墨"));
            window.OpenFile();
            WaitUntilIdle(window);
            window.ShowContents();
            window.ChooseSkin(skin("夜读"));
        } else {
            ASSERT_EQ(window.RecentFiles().Captions(), QStringList({journey, mansion})) << start;
            window.OpenRecent(0);
            WaitUntilIdle(window);
            EXPECT_EQ(state.Current().ChapterIndex, 2) << start;
            EXPECT_EQ(state.CurrentSkin, skin("水墨")) << start;
            window.OpenRecent(1);
            WaitUntilIdle(window);
            EXPECT_EQ(state.Current().ChapterIndex, -1) << start;
            EXPECT_EQ(state.CurrentSkin, skin("夜读")) << start;
        }
        window.close();
        if (start == 1)
            first = ReadBytes(ini);
        EXPECT_EQ(ReadBytes(ini), first) << start;
    }
    EXPECT_EQ(first,
              EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=") + journey
                            + QStringLiteral(",Xcolor=水墨,id=2,SelStart=1\r\nName=") + mansion
                            + QStringLiteral(",Xcolor=夜读,id=-1,SelStart=1\r\n")));
}

}  // namespace
