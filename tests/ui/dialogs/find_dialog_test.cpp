#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <tuple>

namespace {

using Cells = QStringList;

class FindText : public ReaderFixture {
protected:
    // In 甲, chapter 1's heading holds 龙城 and its body begins with it.
    void OpenBooks()
    {
        OpenBook(*window,
                 WriteBook(QStringLiteral("甲.txt"),
                           QStringLiteral("第一章 出发\r\n清晨，他离开了村子。\r\n村口有一棵老槐树。\r\n"
                                          "第二章 龙城\r\n龙城很大。\r\n第三章 归来\r\n龙城的夜。\r\n")));
        OpenBook(*window,
                 WriteBook(QStringLiteral("乙.txt"),
                           QStringLiteral("第一章 山门\r\n山门前有石狮。\r\n第二章 石桥\r\n桥下流水，一直向东。\r\n")));
        ASSERT_EQ(state.Books.Count(), 2);
    }
    void GoTo(int book, int chapter)
    {
        state.CurrentBook = static_cast<std::int16_t>(book);
        state.Current().ChapterIndex = chapter;
        window->Reading().BuildChapterMenu();
        window->Reading().ShowChapter();
    }
    FindDialog* Open()
    {
        window->ShowFindDialog();
        return window->FindDialogIfMade();
    }
    static Cells Cursor(const FindDialog* dialog)
    {
        const SearchCursor& cursor = dialog->Cursor();
        return {QString::number(cursor.book), QString::number(cursor.chapter), QString::number(cursor.offset)};
    }
    static void Press(FindDialog* dialog) { QTest::mouseClick(&dialog->FindButton(), Qt::LeftButton); }
    // Where each press of 查找 lands (-1: a heading), until nothing is found.
    using Spots = QList<std::tuple<int, int, qsizetype>>;
    Spots PressedUntilNothingIsFound(FindDialog* panel)
    {
        Spots pressed;
        for (int press = 0; press < 20 && prompter.messages.empty(); ++press) {
            Press(panel);
            if (prompter.messages.empty())
                pressed.append({state.CurrentBook, state.Current().ChapterIndex,
                                window->Pane().SelLength() == 0 ? -1 : window->Pane().SelStart()});
        }
        return pressed;
    }
    static Spots Listed(const FindDialog* panel)
    {
        Spots listed;
        for (const FoundHit& hit : panel->Hits())
            listed.append({hit.book, hit.chapter, hit.offset});
        return listed;
    }
    QString Selected() const
    {
        return window->Pane().Text().mid(window->Pane().SelStart(), window->Pane().SelLength());
    }
};

TEST_F(FindText, EventsStoreTheCursorAsTheTableSays)
{
    OpenBooks();
    GoTo(2, 1);
    window->Pane().SetSelStart(5);
    FindDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    // A new dialog selects the whole-book scope.
    EXPECT_TRUE(dialog->BookScope().isChecked());
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));

    QTest::mouseClick(&dialog->DownwardScope(), Qt::LeftButton);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "1", "5"}));
    QTest::keyClicks(&dialog->FindText(), QStringLiteral("x"));
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "1", "0"}));
    QTest::mouseClick(&dialog->AllBooksScope(), Qt::LeftButton);
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "0"}));
    QTest::keyClicks(&dialog->FindText(), QStringLiteral("y"));
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "0"}));
    QTest::mouseClick(&dialog->BookScope(), Qt::LeftButton);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
    QTest::keyClick(&dialog->FindText(), Qt::Key_Backspace);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
    // Moving in the main window does not move the stored cursor.
    window->PreviousChapter();
    window->PreviousBook();
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
}

// Pressing "查找(&N)" again moves on to the next occurrence: the stored
// offset is the end of the occurrence just selected (it used to be its
// start, which selected the same occurrence again on every press).
TEST_F(FindText, RepeatedPressesMoveOnFromBodyAndHeadingHits)
{
    OpenBooks();
    GoTo(1, -1);
    FindDialog* dialog = Open();
    dialog->FindText().setText(QStringLiteral("老槐树"));
    Press(dialog);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——第一章 出发"));
    EXPECT_EQ(Selected(), QStringLiteral("老槐树"));
    EXPECT_EQ(window->Pane().SelStart(), 17);            // CR LF counts as two
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "20"}));  // after the occurrence
    EXPECT_TRUE(dialog->isVisible());                    // the panel stays after a hit
    // Shown again it is the same panel; the only occurrence is behind the cursor.
    EXPECT_EQ(Open(), dialog);
    EXPECT_EQ(dialog->FindText().text(), QStringLiteral("老槐树"));
    Press(dialog);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("找不到“老槐树”"));
    prompter.messages.clear();

    // A heading hit selects nothing and stores the caret the new chapter
    // left, after its first character...
    dialog->FindText().setText(QStringLiteral("龙城"));
    Press(dialog);
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(window->Pane().SelLength(), 0);
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "1", "1"}));
    // ...so the next press passes over the 龙城 that begins the body, and
    // the one after it finds no further occurrence.
    Open();
    Press(dialog);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(Selected(), QStringLiteral("龙城"));
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "2", "2"}));
    Open();
    Press(dialog);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(Selected(), QStringLiteral("龙城"));
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("找不到“龙城”")});
}

// Nothing found: the pane and the caption show the chapter they showed
// before (the whole-book search used to leave chapter 0's body under the
// current chapter's caption), the dialog stays open and says so.
// 向下查找 goes on after the last hit, unless the user has put the caret
// elsewhere since: then it starts at the caret.
TEST_F(FindText, DownwardSearchStartsAtACaretMovedSinceTheLastHit)
{
    OpenBook(*window,
             WriteBook(QStringLiteral("葫芦.txt"),
                       QStringLiteral("第一章\r\n一个葫芦。\r\n两个葫芦。\r\n三个葫芦。\r\n四个葫芦。\r\n")));
    GoTo(1, 0);
    window->Pane().SetSelStart(0);
    FindDialog* dialog = Open();
    dialog->DownwardScope().click();
    dialog->FindText().setText(QStringLiteral("葫芦"));
    Press(dialog);
    EXPECT_EQ(window->Pane().SelStart(), 2);
    window->ShowFindDialog();
    Press(dialog);
    EXPECT_EQ(window->Pane().SelStart(), 9);
    const qsizetype fourth = window->Pane().Text().indexOf(QStringLiteral("四个"));
    window->Pane().SetSelStart(fourth);  // the user clicks at the start of the last line
    window->ShowFindDialog();
    Press(dialog);
    EXPECT_EQ(window->Pane().SelStart(), fourth + 2);
}

TEST_F(FindText, NothingFoundKeepsTheChapterAndTheDialog)
{
    OpenBooks();
    GoTo(1, 2);
    window->Pane().SetSelStart(2);
    window->Pane().SetSelLength(2);
    const QString shown = window->Pane().Text();
    const QString caption = window->windowTitle();
    FindDialog* dialog = Open();
    for (QRadioButton* scope : {&dialog->BookScope(), &dialog->AllBooksScope(), &dialog->DownwardScope()}) {
        QTest::mouseClick(scope, Qt::LeftButton);
        dialog->FindText().setText(QStringLiteral("没有的字"));
        Press(dialog);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(window->Pane().Text(), shown);
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_EQ(window->Pane().SelStart(), 2);
        EXPECT_EQ(window->Pane().SelLength(), 2);
        EXPECT_EQ(state.CurrentBook, 1);
        EXPECT_EQ(state.Current().ChapterIndex, 2);
    }
    ASSERT_EQ(prompter.messages.size(), 3u);
    for (const auto& shownBox : prompter.messages) {
        EXPECT_EQ(shownBox.text, QStringLiteral("找不到“没有的字”"));
        EXPECT_EQ(shownBox.caption, QStringLiteral("提示"));
        EXPECT_EQ(shownBox.over, dialog);
    }
}

TEST_F(FindText, EnterSearchesAndEmptyTextDoesNothing)
{
    OpenBooks();
    GoTo(2, 0);
    FindDialog* dialog = Open();
    const QString pane = window->Pane().Text();
    Press(dialog);
    QTest::keyClick(&dialog->FindText(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(window->Pane().Text(), pane);

    dialog->FindText().insert(QStringLiteral("东"));
    QTest::keyClick(&dialog->FindText(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(Selected(), QStringLiteral("东"));
}

TEST_F(FindText, AllBooksHitInAnotherBookListsThatBooksChapters)
{
    OpenBooks();
    GoTo(2, 1);
    FindDialog* dialog = Open();
    QTest::mouseClick(&dialog->AllBooksScope(), Qt::LeftButton);
    dialog->FindText().setText(QStringLiteral("老槐树"));
    Press(dialog);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(Selected(), QStringLiteral("老槐树"));
    EXPECT_EQ(window->ChapterItems().Captions(),
              (QStringList{QStringLiteral("0\t第一章 出发"), QStringLiteral("1\t第二章 龙城"),
                           QStringLiteral("2\t第三章 归来")}));
}

TEST_F(FindText, ErrorsShowTheBoxAndKeepDialogCursorAndPane)
{
    // No book open: the whole-book scope has no book 0.
    FindDialog* dialog = Open();
    dialog->FindText().setText(QStringLiteral("龙城"));
    Press(dialog);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("9下标越界"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("错误提示"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Critical);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Cursor(dialog), (Cells{"0", "0", "0"}));

    // A caret stored in a long chapter, searched after moving to a short one.
    OpenBooks();
    GoTo(1, 0);
    window->Pane().SetSelStart(20);
    QTest::mouseClick(&dialog->DownwardScope(), Qt::LeftButton);
    GoTo(1, 1);
    window->Pane().SetSelStart(2);
    const QString pane = window->Pane().Text();
    Press(dialog);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("5无效的过程调用或参数"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "20"}));
    EXPECT_EQ(window->Pane().Text(), pane);
    EXPECT_EQ(window->Pane().SelStart(), 2);
}

// Esc closes the panel; Ctrl+F brings it back as it was, its text ready
// to be typed over. F3 and Shift+F3 step through the hits both ways.
TEST_F(FindText, KeysStepBothWaysAndThePanelComesBackAsItWasLeft)
{
    OpenBooks();
    GoTo(1, 0);
    FindDialog* panel = Open();
    QTest::mouseClick(&panel->AllBooksScope(), Qt::LeftButton);
    panel->FindText().setText(QStringLiteral("石"));
    const auto at = [&] { return std::tuple(int(state.CurrentBook), state.Current().ChapterIndex, Selected()); };
    QTest::keyClick(panel, Qt::Key_F3);
    const auto first = at();
    EXPECT_EQ(first, std::tuple(2, 0, QStringLiteral("石")));
    QTest::keyClick(panel, Qt::Key_F3);  // 第二章 石桥: a heading
    EXPECT_EQ(at(), std::tuple(2, 1, QString()));
    QTest::keyClick(panel, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(at(), first);
    EXPECT_EQ(window->Pane().SelStart(), 4);
    QTest::keyClick(panel, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("找不到“石”")});
    EXPECT_TRUE(panel->isVisible());

    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    window->findChild<QAction*>(QStringLiteral("findAction"))->trigger();
    EXPECT_EQ(window->FindDialogIfMade(), panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->AllBooksScope().isChecked());
    EXPECT_EQ(panel->FindText().selectedText(), QStringLiteral("石"));
}

// 全部 lists what pressing 查找 again and again finds, in that order, with
// the chapters' titles; a click on a hit shows it selected mid-screen.
TEST_F(FindText, FindAllListsTheHitsOfRepeatedPressesAndShowsOneMidScreen)
{
    QString text = QStringLiteral("第一章 开篇\r\n");
    for (int line = 0; line < 300; ++line)
        text += line == 150 ? QStringLiteral("他走进了龙城的大门。\r\n") : QStringLiteral("路还很长，天色渐暗。\r\n");
    text += QStringLiteral("第二章 龙城\r\n龙城很大，龙城的夜很静。\r\n");
    OpenBook(*window, WriteBook(QStringLiteral("长.txt"), text));
    window->resize(900, 700);
    window->show();
    GoTo(1, 0);
    FindDialog* panel = Open();
    panel->FindText().setText(QStringLiteral("龙城"));
    QTest::mouseClick(&panel->FindAllButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Searching(); }, 10000));
    const QList<FoundHit> hits = panel->Hits();
    EXPECT_EQ(panel->ResultsStatus().text(), QStringLiteral("共找到 3 处"));

    EXPECT_EQ(Listed(panel), PressedUntilNothingIsFound(panel));
    ASSERT_EQ(hits.size(), 3);
    EXPECT_EQ(hits[0].title, QStringLiteral("第一章 开篇"));
    EXPECT_EQ(hits[0].context, QStringLiteral("他走进了龙城的大门。"));

    GoTo(1, 1);
    QTreeView& list = panel->ResultsView();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(0, 2)).center());
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(Selected(), QStringLiteral("龙城"));
    const auto expectMidScreen = [&] {
        const ReadingPane& pane = window->Pane();
        const qsizetype shown = pane.CharactersShown();
        const qsizetype into = pane.SelStart() - pane.FirstVisibleOffset();
        EXPECT_GT(into, shown / 4);
        EXPECT_LT(into, shown * 3 / 4);
    };
    expectMidScreen();
    // A hit 查找 finds is shown so too.
    GoTo(1, 1);
    QTest::mouseClick(&panel->BookScope(), Qt::LeftButton);
    Press(panel);
    EXPECT_EQ(Selected(), QStringLiteral("龙城"));
    expectMidScreen();
}

// A book shown in simplified characters is searched as shown, in the
// list as by the presses.
TEST_F(FindText, FindAllSearchesABookAsShownInItsScript)
{
    OpenBook(*window,
             WriteBook(QStringLiteral("繁.txt"),
                       QStringLiteral("第一回　說楔子\r\n學而時習之，學無止境。\r\n"
                                      "第二回　王孝廉村學識同科\r\n話說學堂。\r\n")));
    GoTo(1, 0);
    window->Reading().ChooseScript(ScriptChoice::ToSimplified);
    ASSERT_EQ(window->Pane().Text(), QStringLiteral("学而时习之，学无止境。\r\n"));
    FindDialog* panel = Open();
    panel->FindText().setText(QStringLiteral("学"));
    panel->FindAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Searching(); }, 10000));
    EXPECT_EQ(Listed(panel), (Spots{{1, 0, 0}, {1, 0, 6}, {1, 1, -1}, {1, 1, 2}}));
    EXPECT_EQ(panel->Hits()[2].title, QStringLiteral("第二回　王孝廉村学识同科"));
    EXPECT_EQ(Listed(panel), PressedUntilNothingIsFound(panel));
}

// 书架 searches the books the window names (the library's); a hit there is
// handed to the window to open. Stopping says so.
TEST_F(FindText, LibraryScopeListsHitsInFilesAndHandsOneOver)
{
    FindDialog* panel = Open();
    const QString first = WriteBook(QStringLiteral("一.txt"), QStringLiteral("第一章 山\r\n青山不老。\r\n"));
    const QString second = WriteBook(QStringLiteral("二.txt"), QStringLiteral("第一章 水\r\n绿水长流，青山依旧。\r\n"));
    panel->SetLibraryBooks([&] {
        return QList<LibraryFile>{{first, EncodingChoice::Automatic}, {second, EncodingChoice::Gb18030}};
    });
    EXPECT_FALSE(panel->LibraryScope().isHidden());
    QTest::mouseClick(&panel->LibraryScope(), Qt::LeftButton);
    panel->FindText().setText(QStringLiteral("青山"));
    panel->FindAll();
    panel->StopFinding();
    EXPECT_TRUE(panel->ResultsStatus().text().startsWith(QStringLiteral("已停止")));

    QSignalSpy chosen(panel, &FindDialog::LibraryHitChosen);
    Press(panel);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->Searching(); }, 10000));
    ASSERT_EQ(panel->Hits().size(), 2);
    EXPECT_EQ(panel->ResultsStatus().text(), QStringLiteral("共找到 2 处"));
    QTreeView& list = panel->ResultsView();
    EXPECT_EQ(list.model()->index(1, 0).data().toString(), QStringLiteral("二.txt"));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(1, 1)).center());
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toString(), second);
    EXPECT_EQ(chosen[0][1].value<EncodingChoice>(), EncodingChoice::Gb18030);
    EXPECT_EQ(chosen[0][2].toInt(), 0);
    EXPECT_EQ(chosen[0][3].value<qsizetype>(), 5);
    EXPECT_EQ(chosen[0][4].value<qsizetype>(), 2);
}

}  // namespace
