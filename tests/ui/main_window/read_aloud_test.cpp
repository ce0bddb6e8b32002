#include "core/reading/reader.h"
#include "core/speech/read_aloud.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "support/scripted_speech.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kBook = QStringLiteral("第一回　灵根育孕\r\n"
                                     "　　诗曰：混沌未分天地乱。茫茫渺渺无人见！\r\n"
                                     "〓〓〓〓〓〓\r\n"
                                     "　　悟空道：“好！”众猴都喜。\r\n"
                                     "第二回　悟彻菩提\r\n"
                                     "　　话表美猴王得了姓名。怡然踊跃！\r\n"
                                     "第三回　四海千山\r\n"
                                     "　　却说美猴王荣归故里。\r\n");

class ReadAloudTest : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        window->UseSpeechEngine(&speech);
        window->resize(1000, 700);
        window->show();
        OpenBook(*window, WriteBook(QStringLiteral("西游记.txt"), kBook));
        window->Reading().GoToChapter(0);
        readAloud = window->findChild<QAction*>(QStringLiteral("readAloudAction"));
        ASSERT_NE(readAloud, nullptr);
    }
    // The window goes first: it holds the scripted voice by reference.
    void TearDown() override { window.reset(); }
    // What the pane highlights: the sentence being said.
    QString Highlighted()
    {
        ReadingPane& pane = window->Pane();
        return pane.Text().mid(pane.SelStart(), pane.SelLength());
    }
    // Ends utterances until `text` is being said (at most `limit` of them).
    bool FinishUntil(const QString& text, int limit = 20)
    {
        for (int i = 0; i < limit && speech.said.last() != text; ++i)
            speech.Finish();
        return speech.said.last() == text;
    }

    ScriptedSpeech speech;
    QAction* readAloud = nullptr;
};

}  // namespace

// The chapter is said sentence by sentence, each highlighted as it is
// said, decoration passed over, and on into the next chapter; the place
// follows the voice, and a restart resumes at the sentence it stopped on.
TEST_F(ReadAloudTest, ReadsOnIntoTheNextChapterAndResumesWhereItStopped)
{
    readAloud->trigger();
    ASSERT_TRUE(readAloud->isChecked());
    ASSERT_EQ(speech.said, QStringList{QStringLiteral("第一回　灵根育孕")});  // the heading first
    speech.Finish();
    EXPECT_EQ(speech.said.last(), QStringLiteral("诗曰：混沌未分天地乱。"));
    EXPECT_EQ(Highlighted(), speech.said.last());
    speech.Finish();
    EXPECT_EQ(speech.said.last(), QStringLiteral("茫茫渺渺无人见！"));
    EXPECT_EQ(Highlighted(), speech.said.last());
    speech.Finish();
    EXPECT_EQ(speech.said.last(), QStringLiteral("悟空道：“好！”"));
    // Closing now would come back to this sentence, not the top of the page.
    ASSERT_GT(window->Pane().SelStart(), window->Pane().FirstVisibleOffset());
    ASSERT_TRUE(window->Reading().Save().bookPos);
    EXPECT_EQ(state.Current().Place.offset, window->Pane().SelStart());

    ASSERT_TRUE(FinishUntil(QStringLiteral("话表美猴王得了姓名。")));
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(Highlighted(), speech.said.last());
    const ReadingPlace place = state.Current().Place;
    EXPECT_EQ(place.chapter, 1);
    EXPECT_EQ(place.offset, window->Pane().SelStart());

    readAloud->trigger();  // stop
    EXPECT_FALSE(readAloud->isChecked());
    EXPECT_GT(speech.stops, 0);
    window->Pane().SetSelLength(0);
    readAloud->trigger();
    EXPECT_EQ(speech.said.last(), QStringLiteral("话表美猴王得了姓名。"));

    // The book's end stops the voice.
    ASSERT_TRUE(FinishUntil(QStringLiteral("却说美猴王荣归故里。")));
    speech.Finish();
    EXPECT_FALSE(readAloud->isChecked());
    EXPECT_FALSE(window->ReadAloudIfMade()->Speaking());
}

// A chapter the user steps to is read from its heading; the contents view
// stops the voice.
TEST_F(ReadAloudTest, FollowsTheUserToAnotherChapter)
{
    readAloud->trigger();
    window->NextChapter();
    ASSERT_TRUE(QTest::qWaitFor([&] { return speech.said.last() == QStringLiteral("第二回　悟彻菩提"); }));
    speech.Finish();
    EXPECT_EQ(speech.said.last(), QStringLiteral("话表美猴王得了姓名。"));
    EXPECT_EQ(Highlighted(), speech.said.last());

    window->ShowContents();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !readAloud->isChecked(); }));
    EXPECT_FALSE(window->ReadAloudIfMade()->Speaking());
}

// The sleep timer's "end of chapter" stops there; 自动滚屏 takes over
// from the voice.
TEST_F(ReadAloudTest, StopsAtTheChapterEndOrForAutoScroll)
{
    readAloud->trigger();
    window->ReadAloudIfMade()->SleepAtChapterEnd(true);
    ASSERT_TRUE(FinishUntil(QStringLiteral("众猴都喜。")));
    speech.Finish();
    EXPECT_FALSE(readAloud->isChecked());
    EXPECT_EQ(state.Current().ChapterIndex, 0);

    window->ReadAloudIfMade()->SleepAtChapterEnd(false);
    readAloud->trigger();
    ASSERT_TRUE(readAloud->isChecked());
    window->findChild<QAction*>(QStringLiteral("autoScrollAction"))->trigger();
    EXPECT_FALSE(readAloud->isChecked());
}

// Without a Chinese voice the user is told why and how to get one, and
// nothing else changes.
TEST_F(ReadAloudTest, WithoutAVoiceSaysWhyAndChangesNothing)
{
    speech.usable = false;
    const qsizetype selStart = window->Pane().SelStart();
    readAloud->trigger();
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_TRUE(prompter.messages.front().text.contains(QStringLiteral("espeak-ng")));
    EXPECT_FALSE(readAloud->isChecked());
    EXPECT_TRUE(speech.said.isEmpty());
    EXPECT_EQ(window->Pane().SelStart(), selStart);
    EXPECT_EQ(window->ReadAloudIfMade(), nullptr);
}
