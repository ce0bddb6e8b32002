#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/platform/key_state.h"

namespace {

class PaneInWindow : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        window->SetKeyState(&keys);
    }
    KeyState keys;
};

// A book whose headings the rules do not catch is one chapter: every step
// shows "本书无目录" and puts the same chapter into the pane again, which
// must cost nothing however large the chapter is.
TEST_F(PaneInWindow, PagingABookWithoutHeadingsLeavesThePaneAsItIs)
{
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("　　天色已晚，众人各自散去，只留下一盏孤灯。\r\n");
    OpenBook(*window, WriteBook(QStringLiteral("散文.txt"), text));
    ASSERT_EQ(state.Current().LastChapter(), 0);
    ReadingPane& pane = window->Pane();
    ASSERT_EQ(pane.Length(), text.size());
    pane.viewport()->grab();
    pane.ScrollToOffset(text.size() / 2);  // the reader had scrolled down
    ASSERT_GT(pane.FirstVisibleOffset(), 0);
    pane.viewport()->grab();
    const qsizetype laidOut = pane.CharactersLaidOut();

    prompter.messages.clear();
    for (const int key : {KeyState::kPageDown, KeyState::kPageUp, KeyState::kHome}) {
        keys.SetDown(key, true);
        window->PollPageKeys();
        keys.SetDown(key, false);
        pane.viewport()->grab();
        EXPECT_EQ(state.Current().ChapterIndex, 0);
        EXPECT_EQ(pane.SelStart(), 1);
        EXPECT_EQ(pane.FirstVisibleOffset(), 0);
    }
    EXPECT_EQ(prompter.Texts(), QStringList(3, QStringLiteral("本书无目录，属于通篇浏览!")));
    EXPECT_EQ(pane.CharactersLaidOut(), laidOut);
    EXPECT_EQ(pane.Text(), text);
}

}  // namespace
