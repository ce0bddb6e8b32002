#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/widgets/menu_item_array.h"

#include <QMenu>

namespace {

class Showing : public ReaderFixture {
protected:
    // Opens a book of `chapters` headed chapters (text before the first
    // heading makes chapter 0 untitled).
    int OpenChapters(const QString& name, int chapters)
    {
        QString text = QStringLiteral("前言\r\n");
        for (int i = 1; i <= chapters; ++i)
            text += QStringLiteral("第%1章 标题%1\r\n正文%1\r\n").arg(i);
        OpenBook(*window, WriteBook(name, text));
        return state.CurrentBook;
    }
    QMenu& ChaptersMenu() { return *window->findChild<QMenu*>(QStringLiteral("chaptersMenu")); }
};

TEST_F(Showing, ChapterAndContentsViewWithCaptions)
{
    OpenChapters(QStringLiteral("甲.txt"), 3);
    Book& book = state.Current();
    book.ChapterIndex = 2;
    window->Reading().ShowChapter();
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("正文2\r\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——第2章 标题2"));

    book.ChapterIndex = -1;
    window->Reading().ShowChapter();
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("\r\n第1章 标题1\r\n第2章 标题2\r\n第3章 标题3\r\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——目录"));
}

TEST_F(Showing, OutOfRangeIndexShowsTheContents)
{
    OpenChapters(QStringLiteral("甲.txt"), 3);
    for (const int index : {-5, 4, 1000}) {
        state.Current().ChapterIndex = index;
        window->Reading().ShowChapter();
        EXPECT_EQ(state.Current().ChapterIndex, -1) << index;
        EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("——目录")));
    }
    state.Current().ChapterIndex = 3;  // the last chapter is still a chapter
    window->Reading().ShowChapter();
    EXPECT_EQ(state.Current().ChapterIndex, 3);
}

TEST_F(Showing, ChapterMenuHasNumberTabTitle)
{
    OpenChapters(QStringLiteral("甲.txt"), 3);
    window->Reading().BuildChapterMenu();
    EXPECT_EQ(window->ChapterItems().Captions(),
              QStringList({"0\t", QStringLiteral("1\t第1章 标题1"), QStringLiteral("2\t第2章 标题2"),
                           QStringLiteral("3\t第3章 标题3")}));
    // The real menu shows the same items once it opens.
    EXPECT_EQ(window->ChapterItems().Action(3)->text(), QStringLiteral("3\t第3章 标题3"));
    EXPECT_EQ(ChaptersMenu().actions().size(), 4);

    // Another book replaces the list.
    OpenChapters(QStringLiteral("乙.txt"), 1);
    window->Reading().BuildChapterMenu();
    EXPECT_EQ(window->ChapterItems().Count(), 2);
    EXPECT_EQ(ChaptersMenu().actions().size(), 4);  // rebuilt only when it opens
    window->ChapterItems().Action(0);
    EXPECT_EQ(ChaptersMenu().actions().size(), 2);
}

// Once per command, as information: opening such a book used to build the
// menu twice and say so twice, with a stop icon.
TEST_F(Showing, BookWithoutHeadingsSaysSoOncePerCommand)
{
    prompter.files = {WriteBook(QStringLiteral("散文.txt"), QStringLiteral("没有标题的文字\r\n第二行"))};
    window->OpenFile();
    ASSERT_TRUE(WaitUntilIdle(*window));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("本书无目录，属于通篇浏览!"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("文章提示"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    window->ShowContents();
    EXPECT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(window->ChapterItems().Count(), 1);
}

TEST_F(Showing, NothingHappensWithoutABook)
{
    window->Reading().ShowChapter();
    window->Reading().BuildChapterMenu();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("NandeoTxt文件阅读器"));
    EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
