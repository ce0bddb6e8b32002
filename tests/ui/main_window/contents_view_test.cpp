#include "support/open_book.h"
#include "support/reader_fixture.h"

#include <QTest>

namespace {

// Choosing a title in the contents view with Enter or a double-click.
class ContentsView : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        OpenBook(*window,
                 WriteBook(QStringLiteral("甲.txt"),
                           QStringLiteral("第一章 起\r\n甲文一\r\n甲文二\r\n"
                                          "第二章 承\r\n乙文\r\n"
                                          "第三章 转\r\n丙文\r\n")));
        ASSERT_EQ(state.Current().LastChapter(), 2);
        ASSERT_EQ(state.Current().ChapterIndex, -1);
    }
    // Puts the caret on the line holding `text` and presses Enter.
    void EnterOn(const QString& text)
    {
        const qsizetype at = window->Pane().Text().indexOf(text);
        ASSERT_GE(at, 0) << text.toStdString();
        window->Pane().SetSelStart(at);
        QTest::keyClick(&window->Pane(), Qt::Key_Return);
    }
};

// Opening a book shows chapter 0 early and appends the titles below it.
TEST_F(ContentsView, TitlesAppendedOnOpeningShowTheirChapter)
{
    const QString opened = window->Pane().Text();
    ASSERT_EQ(opened, QStringLiteral("甲文一\r\n甲文二\r\n\r\n第一章 起\r\n第二章 承\r\n第三章 转"));
    // Chapter 0's own lines and the blank line before the titles are no titles.
    EnterOn(QStringLiteral("甲文二"));
    emit window->Pane().LineActivated(2);
    emit window->Pane().LineActivated(6);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    EXPECT_EQ(window->Pane().Text(), opened);
    EnterOn(QStringLiteral("第二章 承"));
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("乙文\r\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——第二章 承"));

    // Opened again (a folder scan over it), it stays where it is, and a
    // line of the chapter is no title.
    OpenBook(*window, state.Current().Path);
    ASSERT_EQ(window->Pane().Text(), QStringLiteral("乙文\r\n"));
    emit window->Pane().LineActivated(0);
    EXPECT_EQ(state.Current().ChapterIndex, 1);
}

TEST_F(ContentsView, TitlesOfTheContentsCommandShowTheirChapter)
{
    window->ShowContents();
    ASSERT_EQ(window->Pane().Text(), QStringLiteral("第一章 起\r\n第二章 承\r\n第三章 转\r\n"));
    // The line after the last title is none.
    window->Pane().SetSelStart(window->Pane().Length());
    QTest::keyClick(&window->Pane(), Qt::Key_Return);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    EnterOn(QStringLiteral("第一章 起"));
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲文一\r\n甲文二\r\n"));

    // A double-click on the middle of line 1.
    window->ShowContents();
    const QFontMetricsF metrics(window->Pane().font());
    window->Pane().viewport()->grab();
    QTest::mouseDClick(window->Pane().viewport(), Qt::LeftButton, {}, QPoint(20, int(1.5 * metrics.lineSpacing())));
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("乙文\r\n"));
    window->NextChapter();

    // In a chapter, Enter and a double-click change nothing.
    EnterOn(QStringLiteral("丙文"));
    emit window->Pane().LineActivated(0);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("丙文\r\n"));
}

// A pane that shows other text than the contents view (here the list
// without its first title) chooses nothing: its lines are not guessed at.
TEST_F(ContentsView, OtherTextChoosesNothing)
{
    window->ShowContents();
    window->Pane().SetText(QStringLiteral("第二章 承\r\n第三章 转\r\n"));
    emit window->Pane().LineActivated(0);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    window->Pane().SetText(QStringLiteral("甲文\r\n\r\n第一章 起\r\n第二章 承\r\n"));
    emit window->Pane().LineActivated(2);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
}

}  // namespace
