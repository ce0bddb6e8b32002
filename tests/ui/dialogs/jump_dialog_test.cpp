#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/jump_dialog.h"
#include "ui/platform/key_state.h"
#include "ui/widgets/chapter_list_model.h"

#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

namespace {

class Jumping : public ReaderFixture {
protected:
    // Chapters titled 第1章 to 第last章; with a preface, chapter j is 第j章,
    // without one it is 第(j+1)章.
    void OpenChapters(const QString& name, int last, bool preface = true)
    {
        QString text = preface ? QStringLiteral("前言\r\n") : QString();
        for (int i = 1; i <= last; ++i)
            text += QStringLiteral("第%1章 标题%1\r\n正文%1\r\n").arg(i);
        OpenBook(*window, WriteBook(name, text));
    }
    JumpDialog& Open()
    {
        window->ShowJumpDialog();
        return *window->JumpDialogIfMade();
    }
    // Keys with text, one character at a time: an input method commits
    // Chinese text into a line edit the same way.
    void Type(JumpDialog& dialog, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, &dialog.FilterText(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void Key(JumpDialog& dialog, Qt::Key key) { QTest::keyClick(&dialog.FilterText(), key); }
    QList<int> Rows(const JumpDialog& dialog)
    {
        QList<int> chapters;
        for (int row = 0; row < dialog.Chapters().rowCount(); ++row)
            chapters.append(dialog.Chapters().ChapterAt(row));
        return chapters;
    }
    int Chapter() { return state.Current().ChapterIndex; }
};

TEST_F(Jumping, OpensAtTheCurrentChapterAndShowsTheChosenOne)
{
    OpenChapters(QStringLiteral("甲.txt"), 60);
    state.Current().ChapterIndex = 40;
    JumpDialog& dialog = Open();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("跳到章节"));
    EXPECT_EQ(dialog.FilterText().placeholderText(), QStringLiteral("输入章节名称或序号"));
    EXPECT_EQ(dialog.Chapters().rowCount(), 61);
    EXPECT_EQ(dialog.ChapterList().currentIndex().data().toString(), QStringLiteral("40\t第40章 标题40"));

    // The list keys work from the filter box; Enter shows the chapter.
    Key(dialog, Qt::Key_PageDown);
    const int pageDown = dialog.SelectedChapter();
    EXPECT_GT(pageDown, 41);
    Key(dialog, Qt::Key_PageUp);
    EXPECT_LT(dialog.SelectedChapter(), pageDown);
    dialog.ChapterList().setCurrentIndex(dialog.Chapters().index(40));
    Key(dialog, Qt::Key_Down);
    Key(dialog, Qt::Key_Down);
    Key(dialog, Qt::Key_Up);
    Key(dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Chapter(), 41);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("正文41\r\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——第41章 标题41"));

    // From the contents view it opens at the first chapter; Esc changes
    // nothing; a double click shows the chapter under the mouse.
    window->ShowContents();
    Open();
    EXPECT_EQ(dialog.SelectedChapter(), 0);
    Key(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Chapter(), -1);
    Open();
    const QPoint onFour = dialog.ChapterList().visualRect(dialog.Chapters().index(4)).center();
    QTest::mouseClick(dialog.ChapterList().viewport(), Qt::LeftButton, Qt::NoModifier, onFour);
    QTest::mouseDClick(dialog.ChapterList().viewport(), Qt::LeftButton, Qt::NoModifier, onFour);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Chapter(), 4);
}

TEST_F(Jumping, TypingNarrowsByTitleOrNumber)
{
    OpenChapters(QStringLiteral("甲.txt"), 131, false);
    state.Current().ChapterIndex = 7;
    JumpDialog& dialog = Open();
    Type(dialog, QStringLiteral("标题12"));
    EXPECT_EQ(Rows(dialog), QList<int>({11, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128}));
    EXPECT_EQ(dialog.SelectedChapter(), 11);  // chapter 7 is gone: the first one
    Key(dialog, Qt::Key_Down);
    Type(dialog, QStringLiteral("5"));  // the selection stays while listed
    EXPECT_EQ(Rows(dialog), QList<int>({124}));
    EXPECT_EQ(dialog.SelectedChapter(), 124);

    // A number selects that chapter, even below a title holding it.
    dialog.FilterText().clear();
    Type(dialog, QStringLiteral("12"));
    EXPECT_EQ(Rows(dialog).first(), 11);  // 第12章
    EXPECT_EQ(dialog.SelectedChapter(), 12);

    // Nothing matches: Enter does nothing and the dialog stays.
    Type(dialog, QStringLiteral("没有"));
    EXPECT_EQ(dialog.SelectedChapter(), -1);
    Key(dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Chapter(), 7);

    // Opened again, it starts afresh.
    Key(dialog, Qt::Key_Escape);
    Open();
    EXPECT_TRUE(dialog.FilterText().text().isEmpty());
    EXPECT_EQ(dialog.Chapters().rowCount(), 131);
    EXPECT_EQ(dialog.SelectedChapter(), 7);
}

TEST_F(Jumping, FollowsAnotherCurrentBook)
{
    OpenChapters(QStringLiteral("甲.txt"), 30);
    OpenChapters(QStringLiteral("乙.txt"), 8);
    state.CurrentBook = 1;
    state.Books[1].ChapterIndex = 20;
    state.Books[2].ChapterIndex = 6;
    JumpDialog& dialog = Open();

    // A book step behind the dialog (the page keys reach the main window).
    window->NextBook();
    dialog.Follow();
    EXPECT_EQ(dialog.Chapters().rowCount(), 9);
    EXPECT_EQ(dialog.SelectedChapter(), 6);

    // Enter right after a change shows the new list first, and chooses
    // from it only when pressed again.
    window->PreviousBook();
    Key(dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.SelectedChapter(), 20);
    Key(dialog, Qt::Key_Down);
    Key(dialog, Qt::Key_Return);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Books[1].ChapterIndex, 21);
    EXPECT_EQ(state.Books[2].ChapterIndex, 6);

    // A book without headings has no chapters to choose.
    OpenBook(*window, WriteBook(QStringLiteral("散文.txt"), QStringLiteral("没有标题的文字\r\n")));
    Open();
    EXPECT_EQ(dialog.Chapters().rowCount(), 0);
    Key(dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(Jumping, ChaptersArriveWhileTheBookLoads)
{
    // Long enough that the loader lets the event loop run many times.
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += (i % 1000 == 0 ? QStringLiteral("第%1章\r\n").arg(i / 1000 + 1)
                               : QStringLiteral("一行正文，用来填满这本书。\r\n"));
    const QString path = WriteBook(QStringLiteral("长篇.txt"), text);

    // Where the event loop runs inside the load, the dialog is opened, a
    // filter typed, and the list brought up to date as its timer would.
    JumpDialog* dialog = nullptr;
    QList<int> rowsSeen;
    int selectedWhileLoading = -2;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!dialog && state.Books.IsBook(1) && state.Books[1].LastChapter() >= 1) {
            dialog = &Open();
            selectedWhileLoading = dialog->SelectedChapter();
            Type(*dialog, QStringLiteral("第1"));
        }
        if (!dialog)
            return;
        dialog->Follow();
        if (rowsSeen.isEmpty() || rowsSeen.back() != dialog->Chapters().rowCount())
            rowsSeen.append(dialog->Chapters().rowCount());
    });
    during.start(0);
    OpenBook(*window, path);
    during.stop();

    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(selectedWhileLoading, 0);  // the early display shows chapter 0
    dialog->Follow();
    EXPECT_EQ(dialog->Chapters().rowCount(), 111);  // 第1章, 第10..19章, 第100..199章
    EXPECT_GT(rowsSeen.size(), 2) << "the list grew while the book loaded";
    EXPECT_TRUE(std::is_sorted(rowsSeen.begin(), rowsSeen.end()));
    EXPECT_EQ(dialog->SelectedChapter(), 0);  // kept as rows arrived
    Type(*dialog, QStringLiteral("99章"));
    Key(*dialog, Qt::Key_Return);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:长篇.txt——第199章"));
}

TEST_F(Jumping, ControlGOpensItAndPageKeysThereLeaveTheBookAlone)
{
    KeyState keys;
    window->SetKeyState(&keys);
    OpenChapters(QStringLiteral("甲.txt"), 40);
    state.Current().ChapterIndex = 10;
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_G, Qt::ControlModifier);
    JumpDialog* dialog = window->JumpDialogIfMade();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());

    // Page keys and Home move through the list or the filter text only.
    for (const Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home}) {
        Key(*dialog, key);
        QTest::keyClick(&dialog->ChapterList(), key);
        window->PollPageKeys();
        EXPECT_EQ(Chapter(), 10) << key;
    }
    // Elsewhere they still step through the book.
    Key(*dialog, Qt::Key_Escape);
    QTest::keyClick(&window->Pane(), Qt::Key_PageDown);
    window->PollPageKeys();
    EXPECT_EQ(Chapter(), 11);
}

}  // namespace
