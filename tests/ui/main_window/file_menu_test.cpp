#include "core/books/book_settings.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/splash_window.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/text_editor.h"

#include <QTimer>

namespace {

class FakeEditor : public TextEditorLauncher {
public:
    bool Launch(const QString& path) override
    {
        paths.append(path);
        return works;
    }
    QStringList paths;
    bool works = true;
};

class FileMenu : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        LoadTwoSkins();
    }
    QString Book4()
    {
        return WriteBook(QStringLiteral("甲.txt"),
                         QStringLiteral("第一章\r\n甲文\r\n第二章\r\n乙文\r\n第三章\r\n丙文\r\n第四章\r\n丁文\r\n"));
    }
    void Open(const QString& path)
    {
        prompter.files = {path};
        window->OpenFile();
        WaitUntilIdle(*window);
    }
};

TEST_F(FileMenu, OpenWithoutSettingsStartsAtChapterZero)
{
    window->Pane().SetText(QStringLiteral("原来的内容"));
    const QString path = Book4();
    Open(path);
    EXPECT_EQ(prompter.filters, QStringList({QStringLiteral("文本文件|*.txt")}));
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲文\r\n"));
    EXPECT_EQ(window->ChapterItems().Count(), 4);
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt")}));
    EXPECT_EQ(window->Reading().LastFolder(), QFileInfo(path).absolutePath());
    EXPECT_NE(QDir::currentPath(), QFileInfo(path).absolutePath());
    EXPECT_FALSE(window->Splash().isVisible());
}

TEST_F(FileMenu, CancelLeavesThePaneAsItWas)
{
    window->Pane().SetText(QStringLiteral("原来的内容"));
    prompter.files = {std::nullopt};
    window->OpenFile();
    WaitUntilIdle(*window);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("原来的内容"));
    EXPECT_EQ(state.Books.Count(), 0);
}

TEST_F(FileMenu, RestoresChapterAndSkinFromTheExactLine)
{
    const QString path = Book4();
    WriteIni({QStringLiteral("[Version1.0]"), "Name=" + path + QStringLiteral(".bak,Xcolor=言情,id=3,SelStart=1"),
              "Name=" + path + QStringLiteral(",Xcolor=水墨,id=2,SelStart=77")});
    Open(path);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(state.Skins[state.CurrentSkin].Name, QStringLiteral("水墨"));
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("丙文\r\n"));
    EXPECT_EQ(window->Pane().SelStart(), 1);  // the saved caret is not read back
}

TEST_F(FileMenu, RestoredIndexBeyondTheBookShowsTheContents)
{
    const QString path = WriteBook(QStringLiteral("短.txt"), QStringLiteral("第一章\r\n甲文\r\n第二章\r\n乙文\r\n"));
    WriteIni({QStringLiteral("[Version1.0]"), "Name=" + path + QStringLiteral(",Xcolor=,id=5,SelStart=1")});
    Open(path);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("——目录")));
}

TEST_F(FileMenu, UnreadableLineRestoresNothingAndTheOpenGoesOn)
{
    const QString path = Book4();
    WriteIni({QStringLiteral("[Version1.0]"), "Name=" + path + QStringLiteral(",Xcolor=水墨,id=二,SelStart=1")});
    const std::uint8_t skin = state.CurrentSkin;
    Open(path);
    EXPECT_EQ(state.CurrentSkin, skin);
    EXPECT_EQ(window->ChapterItems().Count(), 4);
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt")}));
}

TEST_F(FileMenu, RecentFilesAndTheirFailures)
{
    // The placeholder "空" of an empty list opens nothing.
    window->OpenRecent(0);
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Books.Count(), 0);
    const QString path = Book4();
    window->RecentFiles().SetCaption(0, path);
    window->RecentFiles().Load(1, books.Path(QStringLiteral("已删除.txt")));
    window->OpenRecent(0);
    WaitUntilIdle(*window);
    EXPECT_EQ(state.CurrentBook, 1);
    window->OpenRecent(1);
    WaitUntilIdle(*window);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("文件打开错误!1找不到该文件"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
}

// The book is read on a worker thread: the window goes on, and a second
// open or recent command while it reads is refused.
TEST_F(FileMenu, SecondOpenDuringALoadIsRefused)
{
    const QString path = Book4();
    prompter.files = {path, path};
    window->OpenFile();
    EXPECT_EQ(state.LoadingBook, -1);
    window->OpenFile();
    window->RecentFiles().SetCaption(0, path);
    window->OpenRecent(0);
    ASSERT_TRUE(WaitUntilIdle(*window));
    EXPECT_EQ(state.LoadingBook, 0);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(prompter.files.size(), 1u);  // the second dialog was never shown
}

TEST_F(FileMenu, EditorGetsThePathAsOneArgument)
{
    FakeEditor editor;
    window->SetTextEditorLauncher(&editor);
    window->OpenInTextEditor();  // no book: an empty document
    const QString path = WriteBook(QStringLiteral("带 空格 的书.txt"), QStringLiteral("第一章\r\n甲文\r\n"));
    Open(path);
    window->OpenInTextEditor();
    EXPECT_EQ(editor.paths, QStringList({QString(), path}));
    editor.works = false;
    window->OpenInTextEditor();
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("提示"));
}

TEST_F(FileMenu, SaveAsCorAsksAndWritesNothing)
{
    prompter.files = {books.Path(QStringLiteral("存.txt"))};
    window->SaveAsCor();
    EXPECT_EQ(prompter.filters, QStringList({QStringLiteral("文本文件|*.Cor")}));
    EXPECT_EQ(QDir(books.Root()).entryList(QDir::Files), QStringList());
}

}  // namespace
