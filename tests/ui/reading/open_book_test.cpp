#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/splash_window.h"
#include "ui/main_window/start_up.h"
#include "ui/main_window/window_skin.h"
#include "ui/widgets/picture_box.h"

namespace {

using Opening = ReaderFixture;

TEST_F(Opening, ListsTheContentsAndRegistersTheBook)
{
    window->Pane().SetText(QString());
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n")));
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    // The loader showed chapter 0 early (the pane was empty once chapter 1
    // began); each title is then appended to it, preceded by CR LF.
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲\r\n\r\n第一章\r\n第二章"));
    EXPECT_EQ(window->ChapterItems().Captions(),
              QStringList({QStringLiteral("0\t第一章"), QStringLiteral("1\t第二章")}));
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt")}));
    EXPECT_FALSE(window->Splash().isVisible());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Opening, MissingFileIsReportedAndChangesNothing)
{
    OpenBook(*window, books.Path(QStringLiteral("无.txt")));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("文件打开错误!1找不到该文件"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(state.Books.Count(), 0);
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("空")}));
    EXPECT_FALSE(window->Splash().isVisible());
}

TEST_F(Opening, BookWithoutHeadingsIntoAnEmptyPaneShowsItsText)
{
    window->Pane().SetText(QString());
    OpenBook(*window, WriteBook(QStringLiteral("散文.txt"), QStringLiteral("一段文字\r\n")));
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("一段文字\r\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:散文.txt——"));
}

TEST_F(Opening, SameFileTwiceAndSameNameTwice)
{
    const QString path = WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲\r\n"));
    OpenBook(*window, path);
    OpenBook(*window, path);
    EXPECT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(window->BookItems().Count(), 1);

    TempFolder other;
    OpenBook(*window, other.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第九章\r\n丙\r\n")));
    EXPECT_EQ(state.Books.Count(), 2);
    EXPECT_EQ(state.CurrentBook, 2);
    // Two books, one menu item: its caption is the shared file name and it
    // stands for the first of them.
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt")}));
    EXPECT_EQ(window->BookItems().Tag(0), 1);

    OpenBook(*window, WriteBook(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n乙\r\n")));
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt"), QStringLiteral("乙.txt")}));
    EXPECT_EQ(window->BookItems().Tag(1), 3);
}

TEST_F(Opening, ChapterMenuIsNotRebuiltWhenNothingChanged)
{
    QString text;
    for (int i = 1; i <= 3000; ++i)
        text += QStringLiteral("第%1章\r\n正文\r\n").arg(i);
    OpenBook(*window, WriteBook(QStringLiteral("长.txt"), text));
    QAction* first = window->ChapterItems().Action(2999);
    ASSERT_NE(first, nullptr);
    // A chapter step rebuilds the chapter menu; the same book's menu stays.
    window->NextChapter();
    EXPECT_EQ(window->ChapterItems().Action(2999), first);
    EXPECT_EQ(window->ChapterItems().Caption(2999), QStringLiteral("2999\t第3000章"));
}

}  // namespace

namespace {

// A skin that paints the panel's background, so every redraw starts from a
// clean panel and two redraws of the same texts give the same image.
class OpeningTitlePanel : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        WriteSkin(QStringLiteral("纸"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontBackColor=16777215")});
        LoadSkins(*window);
        state.CurrentSkin = 1;
    }
    // The panel as ApplySkin draws it for the current book at `chapter`.
    QImage PanelAt(int chapter)
    {
        const int kept = state.Current().ChapterIndex;
        state.Current().ChapterIndex = chapter;
        window->ApplySkin();
        state.Current().ChapterIndex = kept;
        return window->TitlePanel().StoredImage().copy();
    }
};

// Listing titles one by one ends with a redraw that sees -1 for a book of
// several chapters: the panel reads "目录", not chapter 0's title as the
// single redraw before the index was set used to leave it.
TEST_F(OpeningTitlePanel, SeveralChaptersEndOnTheContentsTitle)
{
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n")));
    const QImage shown = window->TitlePanel().StoredImage().copy();
    EXPECT_EQ(shown, PanelAt(-1));
    EXPECT_NE(shown, PanelAt(0));
}

// With one chapter the only redraw sees the index the loader left.
TEST_F(OpeningTitlePanel, OneChapterKeepsTheLoadersChapter)
{
    window->Pane().SetText(QStringLiteral("帮助"));
    OpenBook(*window, WriteBook(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n只有一章\r\n")));
    ASSERT_EQ(state.Current().ChapterIndex, -1);
    const QImage shown = window->TitlePanel().StoredImage().copy();
    EXPECT_EQ(shown, PanelAt(0));
    EXPECT_NE(shown, PanelAt(-1));
}

}  // namespace
