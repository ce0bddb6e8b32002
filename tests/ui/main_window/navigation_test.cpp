#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/cover_window.h"
#include "ui/platform/key_state.h"

#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

class Navigation : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        window->SetKeyState(&keys);
    }
    // A book with chapters 0..last, each titled and with a body.
    void OpenBookWithChapters(const QString& name, int last)
    {
        QString text;
        for (int i = 0; i <= last; ++i)
            text += QStringLiteral("第%1章\r\n正文%1\r\n").arg(i + 1);
        OpenBook(*window, WriteBook(name, text));
    }
    int Chapter() { return state.Current().ChapterIndex; }
    void Trigger(const char* action) { window->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }

    KeyState keys;
};

TEST_F(Navigation, ChapterStepsFollowTheTable)
{
    OpenBookWithChapters(QStringLiteral("甲.txt"), 3);
    ASSERT_EQ(Chapter(), -1);
    struct Step {
        int from, button, to;
    };
    // 0 "上一页", 1 "主目录", 2 "下一页", clicked on their captions.
    const char* captions[] = {"previousChapterButtonCaption", "contentsButtonCaption", "nextChapterButtonCaption"};
    for (const Step s : {Step{-1, 0, -1}, Step{-1, 1, -1}, Step{-1, 2, 0}, Step{0, 0, -1}, Step{0, 1, -1},
                         Step{0, 2, 1}, Step{2, 0, 1}, Step{2, 1, -1}, Step{2, 2, 3}, Step{3, 0, 2}, Step{3, 2, -1}}) {
        state.Current().ChapterIndex = s.from;
        QTest::mouseClick(window->findChild<QWidget*>(QString::fromLatin1(captions[s.button])), Qt::LeftButton);
        EXPECT_EQ(Chapter(), s.to) << s.from << " button " << s.button;
    }
    state.Current().ChapterIndex = 1;
    window->NextChapter();
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("正文3\r\n"));
    EXPECT_EQ(window->Pane().SelStart(), 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——第3章"));
}

TEST_F(Navigation, BookStepsStopAtTheEndsAndEnterAtChapterZero)
{
    OpenBookWithChapters(QStringLiteral("甲.txt"), 2);
    OpenBookWithChapters(QStringLiteral("乙.txt"), 2);
    TempFolder other;
    OpenBook(*window, other.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n另一个\r\n")));
    ASSERT_EQ(state.Books.Count(), 3);
    ASSERT_EQ(window->BookItems().Count(), 2);
    state.CurrentSkin = 0;
    state.Books[2].ChapterIndex = -1;
    state.CurrentBook = 3;
    window->PreviousBook();  // "上一本"
    EXPECT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(state.Books[2].ChapterIndex, 0);
    window->PreviousBook();
    window->PreviousBook();  // stays on book 1
    EXPECT_EQ(state.CurrentBook, 1);
    // "下一本封面" reaches the last book even though two books share one item.
    window->NextBook();
    window->NextBook();
    window->NextBook();
    EXPECT_EQ(state.CurrentBook, 3);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("另一个\r\n"));
}

TEST_F(Navigation, BooksMenuOpensTheNamedBookWithItsSkin)
{
    OpenBookWithChapters(QStringLiteral("甲.txt"), 1);
    OpenBookWithChapters(QStringLiteral("乙.txt"), 1);
    state.Books[1].SkinIndex = 0;
    state.Books[2].SkinIndex = 3;
    state.CurrentSkin = 2;
    window->ShowBookFromMenu(0);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Books[1].SkinIndex, 2);  // takes the skin in use
    EXPECT_EQ(state.Books[1].ChapterIndex, 0);
    window->ShowBookFromMenu(1);
    EXPECT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(state.CurrentSkin, 3);  // brings its own skin back
    window->BookItems().SetCaption(1, QStringLiteral("空"));
    window->ShowBookFromMenu(1);
    EXPECT_EQ(state.CurrentBook, 2);
}

TEST_F(Navigation, ChapterMenuReadsTheNumberBeforeTheTab)
{
    OpenBookWithChapters(QStringLiteral("甲.txt"), 5);
    window->ShowChapterFromMenu(4);
    EXPECT_EQ(Chapter(), 4);
    window->ChapterItems().SetCaption(2, QStringLiteral("没有制表符"));
    window->ShowChapterFromMenu(2);
    EXPECT_EQ(Chapter(), 0);
    window->ChapterItems().Action(5)->trigger();
    EXPECT_EQ(Chapter(), 5);
}

TEST_F(Navigation, HeldKeysStepOncePerTick)
{
    OpenBookWithChapters(QStringLiteral("甲.txt"), 9);
    state.Current().ChapterIndex = 0;
    keys.SetDown(KeyState::kPageDown, true);
    for (int tick = 0; tick < 4; ++tick)
        window->PollPageKeys();
    EXPECT_EQ(Chapter(), 4);
    keys.SetDown(KeyState::kPageDown, false);
    keys.SetDown(KeyState::kPageUp, true);
    window->PollPageKeys();
    EXPECT_EQ(Chapter(), 3);
    // All three act in one tick, in the order Page Up, Page Down, Home.
    keys.SetDown(KeyState::kPageDown, true);
    keys.SetDown(KeyState::kHome, true);
    window->PollPageKeys();
    EXPECT_EQ(Chapter(), -1);
    EXPECT_EQ(window->Pane().SelStart(), 1);

    // Real key events anywhere in the program are seen by the poller.
    keys.ReleaseAll();
    state.Current().ChapterIndex = 0;
    QTest::keyPress(&window->Pane(), Qt::Key_PageDown);
    window->PollPageKeys();
    QTest::keyRelease(&window->Pane(), Qt::Key_PageDown);
    window->PollPageKeys();
    EXPECT_EQ(Chapter(), 1);
    // A tap that falls between two ticks still steps, once.
    QTest::keyClick(&window->Pane(), Qt::Key_PageDown);
    window->PollPageKeys();
    window->PollPageKeys();
    EXPECT_EQ(Chapter(), 2);
}

TEST_F(Navigation, HeldKeyNeverStacksMessageBoxes)
{
    OpenBook(*window, WriteBook(QStringLiteral("散文.txt"), QStringLiteral("没有标题\r\n")));
    keys.SetDown(KeyState::kPageDown, true);
    prompter.messages.clear();
    // While the box of the first tick is open, more ticks arrive.
    prompter.onMessage = [&] {
        prompter.onMessage = nullptr;
        window->PollPageKeys();
        window->PollPageKeys();
    };
    window->PollPageKeys();
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(Chapter(), 0);
}

TEST_F(Navigation, PaneDiscardsTypedCharactersButNotDelete)
{
    window->Pane().SetText(QStringLiteral("甲乙丙"));
    window->Pane().SetSelStart(0);
    QTest::keyClicks(&window->Pane(), QStringLiteral("ab1,"));
    QTest::keyClick(&window->Pane(), Qt::Key_Return);
    QTest::keyClick(&window->Pane(), Qt::Key_Backspace);
    QTest::keyClick(&window->Pane(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲乙丙"));
    // The caret stands after the first character after every change.
    window->Pane().SetSelStart(2);
    QTest::keyClick(&window->Pane(), Qt::Key_Delete);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲乙"));
    EXPECT_EQ(window->Pane().SelStart(), 1);
}

TEST_F(Navigation, CoverShowsTheFileNameOnce)
{
    OpenBookWithChapters(QStringLiteral("封面书.txt"), 1);
    window->ShowCover();
    ASSERT_TRUE(window->HasCover());
    EXPECT_TRUE(window->Cover().isVisible());
    EXPECT_EQ(window->Cover().BackColor(), QColor(21, 95, 120));
    const QImage drawn = window->Cover().CoverPicture().StoredImage().copy();
    window->Cover().close();  // discards it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window->HasCover());
    window->ShowCover();
    EXPECT_EQ(window->Cover().CoverPicture().StoredImage(), drawn);
}

TEST_F(Navigation, FontSizesChangeOnlyTheSize)
{
    const QString family = window->Pane().font().family();
    Trigger("extraLargeFont");
    EXPECT_EQ(window->Pane().font().pointSizeF(), 18);
    Trigger("extraSmallFont");
    EXPECT_EQ(window->Pane().font().pointSizeF(), 10);
    Trigger("largeFont");
    EXPECT_EQ(window->Pane().font().pointSizeF(), 16);
    EXPECT_EQ(window->Pane().font().family(), family);
}

// Space reads on a screen at a time, every line seen and the last line of
// one screen the first of the next, through the chapter and into the next
// one; Shift+Space goes back up and Down scrolls a line.
TEST_F(Navigation, SpaceReadsThroughAChapterIntoTheNext)
{
    window->show();
    QString text = QStringLiteral("第一章\r\n");
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("　　第%1行，他望着远处的山。\r\n").arg(i);
    OpenBook(*window, WriteBook(QStringLiteral("长章.txt"), text + QStringLiteral("第二章\r\n末\r\n")));
    window->ShowChapterFromMenu(0);
    ReadingPane& pane = window->Pane();
    int pages = 0;
    while (Chapter() == 0 && pages < 1000) {
        const qsizetype top = pane.FirstVisibleOffset(), shown = pane.CharactersShown();
        QTest::keyClick(&pane, Qt::Key_Space);
        if (Chapter() != 0)
            break;
        ++pages;
        EXPECT_GT(pane.FirstVisibleOffset(), top);
        EXPECT_LT(pane.FirstVisibleOffset(), top + shown);  // the last line shown stays
    }
    EXPECT_EQ(Chapter(), 1);
    EXPECT_GT(pages, 3);

    window->ShowChapterFromMenu(0);
    QTest::keyClick(&pane, Qt::Key_Space);
    const qsizetype second = pane.FirstVisibleOffset();
    QTest::keyClick(&pane, Qt::Key_Space);
    QTest::keyClick(&pane, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(pane.FirstVisibleOffset(), second);
    QTest::keyClick(&pane, Qt::Key_Down);
    EXPECT_EQ(pane.FirstVisibleOffset(), pane.Text().indexOf(u'\n', second) + 1);
    QTest::keyClick(&pane, Qt::Key_Up);
    EXPECT_EQ(pane.FirstVisibleOffset(), second);
}

// 自动滚屏 moves through the chapter line by line and on into the next one;
// a key on the page stops it.
TEST_F(Navigation, AutoScrollGoesOnIntoTheNextChapter)
{
    window->show();
    QString text = QStringLiteral("第一章\r\n");
    for (int i = 0; i < 120; ++i)
        text += QStringLiteral("　　第%1行。\r\n").arg(i);
    OpenBook(*window, WriteBook(QStringLiteral("滚屏.txt"), text + QStringLiteral("第二章\r\n末\r\n")));
    window->ShowChapterFromMenu(0);
    window->findChild<QTimer*>(QStringLiteral("autoScrollTimer"))->setInterval(1);
    qsizetype furthest = 0;
    Trigger("autoScrollAction");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (Chapter() == 0)
                furthest = std::max(furthest, window->Pane().FirstVisibleOffset());
            return Chapter() == 1;
        },
        10000));
    EXPECT_GT(furthest, 0);
    QTest::keyClick(&window->Pane(), Qt::Key_Down);
    EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("autoScrollAction"))->isChecked());
}

}  // namespace
