#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/heading_rules_dialog.h"
#include "ui/widgets/reading_pane.h"
#include "ui/widgets/rule_offer_bar.h"

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include <algorithm>

namespace {

// Numbers too long for the built-in recogniser: a rule is offered for them.
QString LongNumbered()
{
    QString text = QStringLiteral("作者的话\r\n");
    for (const QChar digit : QStringLiteral("一二三四五"))
        text += QStringLiteral("第一千四百零%1章 夜行\r\n").arg(digit) + QStringLiteral("正文一行。\r\n").repeated(30);
    return text;
}

class RuleCommands : public ReaderFixture {
protected:
    RuleOfferBar& Bar() { return *window->findChild<RuleOfferBar*>(QStringLiteral("ruleOfferBar")); }
    QAbstractButton* Button(QWidget& in, const QString& text)
    {
        for (QAbstractButton* button : in.findChildren<QAbstractButton*>()) {
            if (button->text() == text)
                return button;
        }
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
};

// The offer comes above the page without hiding any of it; 使用 splits the
// book by the rule; the rules dialog then marks that rule as the book's and
// 应用 of the built-in one splits it back.
TEST_F(RuleCommands, TheOfferBarAndTheDialogSplitTheBookByTheRuleChosen)
{
    window->show();
    OpenBook(*window, WriteBook(QStringLiteral("长号.txt"), LongNumbered()));
    ASSERT_TRUE(Bar().isVisible());
    EXPECT_TRUE(Bar().Text().contains(QStringLiteral("识别出 6 章")));
    EXPECT_LE(Bar().geometry().bottom(), window->Pane().geometry().top());
    EXPECT_EQ(state.Current().LastChapter(), 0);

    Button(Bar(), QStringLiteral("使用"))->click();
    ASSERT_TRUE(WaitUntilIdle(*window));
    ASSERT_EQ(state.Current().LastChapter(), 5);
    EXPECT_FALSE(Bar().isVisible());

    window->findChild<QAction*>(QStringLiteral("rulesAction"))->trigger();
    auto* dialog = window->findChild<HeadingRulesDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->SelectedRule(), QStringLiteral("第N章（数字不限长短）"));
    EXPECT_TRUE(dialog->NamedSections() == state.Current().Rule.endsWith(QStringLiteral("＋命名章节")));
    emit dialog->ApplyWanted(QStringLiteral("内置规则"), false);
    ASSERT_TRUE(WaitUntilIdle(*window));
    ASSERT_EQ(state.Current().LastChapter(), 0);
    EXPECT_TRUE(state.Current().Rule.isEmpty());
}

// 设为章节标题 on a line of a chapter and 取消章节标题 on a heading of the
// contents view, from the pane's own menu opened where the caret is.
TEST_F(RuleCommands, HeadingsAreMarkedFromThePanesMenu)
{
    window->show();
    OpenBook(*window,
             WriteBook(QStringLiteral("手工.txt"),
                       QStringLiteral("第一章 甲\r\n一行\r\n月下独白\r\n二行\r\n第二章 乙\r\n三行\r\n")));
    ReadingPane& pane = window->Pane();
    const auto choose = [&](const QString& caption) {
        QContextMenuEvent opening(QContextMenuEvent::Keyboard, QPoint(5, 5), pane.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(pane.viewport(), &opening);
        QMenu* menu = pane.findChildren<QMenu*>().value(0);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        const auto found =
            std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == caption; });
        ASSERT_NE(found, actions.end()) << caption.toStdString();
        (*found)->trigger();
        menu->close();
        ASSERT_TRUE(WaitUntilIdle(*window));
    };
    window->ShowChapterFromMenu(0);
    ASSERT_EQ(state.Current().ChapterIndex, 0);
    pane.SetSelStart(pane.Text().indexOf(QStringLiteral("独白")));
    choose(QStringLiteral("设为章节标题"));
    ASSERT_EQ(state.Current().LastChapter(), 2);
    EXPECT_EQ(state.Current().Chapters[1].Title, QStringLiteral("月下独白"));

    window->ShowContents();
    pane.SetSelStart(pane.Text().indexOf(QStringLiteral("第二章")));
    choose(QStringLiteral("取消章节标题"));
    ASSERT_EQ(state.Current().LastChapter(), 1);
    EXPECT_TRUE(state.Current().ChapterTexts[1].endsWith(QStringLiteral("第二章 乙\r\n三行\r\n")));
}

}  // namespace
