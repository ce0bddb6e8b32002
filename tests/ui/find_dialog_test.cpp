#include "reader_fixture.h"
#include "text/open_book.h"
#include "text/show_chapter.h"
#include "ui/dialogs/findword.h"

#include <QCoreApplication>
#include <QTest>

namespace {

using Cells = QStringList;

class FindDialog : public ReaderFixture {
protected:
    // In 甲, chapter 1's heading holds 龙城 and its body begins with it.
    void OpenBooks()
    {
        OpenBook(*window, WriteBook(QStringLiteral("甲.txt"),
                                    QStringLiteral("第一章 出发\r\n清晨，他离开了村子。\r\n村口有一棵老槐树。\r\n"
                                                   "第二章 龙城\r\n龙城很大。\r\n第三章 归来\r\n龙城的夜。\r\n")));
        OpenBook(*window, WriteBook(QStringLiteral("乙.txt"),
                                    QStringLiteral("第一章 山门\r\n山门前有石狮。\r\n第二章 石桥\r\n桥下流水，一直向东。\r\n")));
        ASSERT_EQ(state.Books.Count(), 2);
    }
    void GoTo(int book, int chapter)
    {
        state.CurrentBook = static_cast<std::int16_t>(book);
        state.Current().ChapterIndex = chapter;
        BuildChapterMenu(*window);
        ShowChapter(*window);
    }
    findword* Open()
    {
        window->find_Click();
        return qobject_cast<findword*>(window->findDialog.data());
    }
    static Cells Cursor(const findword* dialog)
    {
        return {dialog->Label2->text(), dialog->Label3->text(), dialog->Label4->text()};
    }
    static void Scramble(findword* dialog)
    {
        for (QLabel* label : {dialog->Label2, dialog->Label3, dialog->Label4})
            label->setText(QStringLiteral("7"));
    }
    static void Press(findword* dialog) { QTest::mouseClick(dialog->Command1, Qt::LeftButton); }
    QString Selected() const
    {
        return window->Text1->Text().mid(window->Text1->SelStart(), window->Text1->SelLength());
    }
};

TEST_F(FindDialog, EventsStoreTheCursorAsTheTableSays)
{
    OpenBooks();
    GoTo(2, 1);
    window->Text1->SetSelStart(5);
    findword* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    // Loading selects the whole-book scope; the cursor labels stay hidden.
    EXPECT_TRUE(dialog->Option2->isChecked());
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
    EXPECT_TRUE(dialog->Label2->isHidden() && dialog->Label3->isHidden() && dialog->Label4->isHidden());

    QTest::mouseClick(dialog->Option1, Qt::LeftButton);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "1", "5"}));
    QTest::keyClicks(dialog->Text1, QStringLiteral("x"));
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "1", "0"}));
    QTest::mouseClick(dialog->Option3, Qt::LeftButton);
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "0"}));
    Scramble(dialog);
    QTest::keyClicks(dialog->Text1, QStringLiteral("y"));
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "0"}));
    QTest::mouseClick(dialog->Option2, Qt::LeftButton);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
    Scramble(dialog);
    QTest::keyClick(dialog->Text1, Qt::Key_Backspace);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
    // Moving in the main window does not move the stored cursor.
    window->Image1_Click(0);
    window->Image2_Click(0);
    EXPECT_EQ(Cursor(dialog), (Cells{"2", "0", "0"}));
}

TEST_F(FindDialog, RepeatedPressesAfterBodyAndHeadingHits)
{
    OpenBooks();
    GoTo(1, -1);
    findword* dialog = Open();
    dialog->Text1->setText(QStringLiteral("老槐树"));
    Press(dialog);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:甲.txt——第一章 出发"));
    EXPECT_EQ(Selected(), QStringLiteral("老槐树"));
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "17"}));   // CR LF counts as two
    EXPECT_FALSE(dialog->isVisible());
    // Shown again it is the same dialog; the next press selects the same occurrence.
    EXPECT_EQ(Open(), dialog);
    EXPECT_EQ(dialog->Text1->text(), QStringLiteral("老槐树"));
    Press(dialog);
    EXPECT_EQ(window->Text1->SelStart(), 17);
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "17"}));

    // A heading hit selects nothing and stores the caret the new chapter
    // left, after its first character...
    Open();
    dialog->Text1->setText(QStringLiteral("龙城"));
    Press(dialog);
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(window->Text1->SelLength(), 0);
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "1", "1"}));
    // ...so the next press passes over the 龙城 that begins the body.
    Open();
    Press(dialog);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(Selected(), QStringLiteral("龙城"));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(FindDialog, EnterSearchesAndEmptyTextDoesNothing)
{
    OpenBooks();
    GoTo(2, 0);
    findword* dialog = Open();
    const QString pane = window->Text1->Text();
    Press(dialog);
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(window->Text1->Text(), pane);

    dialog->Text1->insert(QStringLiteral("东"));
    QTest::keyClick(dialog->Text1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(Selected(), QStringLiteral("东"));
}

TEST_F(FindDialog, AllBooksHitInAnotherBookListsThatBooksChapters)
{
    OpenBooks();
    GoTo(2, 1);
    findword* dialog = Open();
    QTest::mouseClick(dialog->Option3, Qt::LeftButton);
    dialog->Text1->setText(QStringLiteral("老槐树"));
    Press(dialog);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(Selected(), QStringLiteral("老槐树"));
    EXPECT_EQ(window->ZNull->Captions(), (QStringList{QStringLiteral("0\t第一章 出发"), QStringLiteral("1\t第二章 龙城"),
                                                      QStringLiteral("2\t第三章 归来")}));
}

TEST_F(FindDialog, ErrorsShowTheBoxAndKeepDialogCursorAndPane)
{
    // No book open: the whole-book scope has no book 0.
    findword* dialog = Open();
    dialog->Text1->setText(QStringLiteral("龙城"));
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
    window->Text1->SetSelStart(20);
    QTest::mouseClick(dialog->Option1, Qt::LeftButton);
    GoTo(1, 1);
    window->Text1->SetSelStart(2);
    const QString pane = window->Text1->Text();
    Press(dialog);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("5无效的过程调用或参数"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Cursor(dialog), (Cells{"1", "0", "20"}));
    EXPECT_EQ(window->Text1->Text(), pane);
    EXPECT_EQ(window->Text1->SelStart(), 2);
}

TEST_F(FindDialog, CloseBoxDiscardsTheDialogAndTheNextOneStartsAfresh)
{
    OpenBooks();
    GoTo(1, 2);
    QPointer<findword> first = Open();
    QTest::mouseClick(first->Option3, Qt::LeftButton);
    first->Text1->setText(QStringLiteral("石狮"));
    Press(first);
    ASSERT_EQ(state.CurrentBook, 2);
    Open();
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    findword* second = Open();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->Text1->text().isEmpty());
    EXPECT_TRUE(second->Option2->isChecked());
    EXPECT_EQ(Cursor(second), (Cells{"2", "0", "0"}));
}

}  // namespace
