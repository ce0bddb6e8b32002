#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/main_window/chapter_menu.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

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
    EXPECT_FALSE(dialog->isVisible());
    // Shown again it is the same dialog; the only occurrence is behind the cursor.
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
    EXPECT_FALSE(dialog->isVisible());
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

TEST_F(FindText, CloseBoxDiscardsTheDialogAndTheNextOneStartsAfresh)
{
    OpenBooks();
    GoTo(1, 2);
    QPointer<FindDialog> first = Open();
    QTest::mouseClick(&first->AllBooksScope(), Qt::LeftButton);
    first->FindText().setText(QStringLiteral("石狮"));
    Press(first);
    ASSERT_EQ(state.CurrentBook, 2);
    Open();
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    FindDialog* second = Open();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->FindText().text().isEmpty());
    EXPECT_TRUE(second->BookScope().isChecked());
    EXPECT_EQ(Cursor(second), (Cells{"2", "0", "0"}));
}

}  // namespace
