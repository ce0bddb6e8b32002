#include "core/text/heading_rules.h"
#include "ui/dialogs/heading_rules_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

const QString kBuiltIn = QString::fromUtf16(kBuiltInRuleName);
const QString kOwn = QStringLiteral("我的规则");

// The dialog over three rules, the built-in one the book's, shown.
class HeadingRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        rows = {{kBuiltIn, QStringLiteral("第一章 出发"), 4248},
                {Shipped(), ShippedRules().front().example, -1},
                {kOwn, QStringLiteral("第12话 夜行"), 12, true}};
        dialog.SetRules(rows, kBuiltIn);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    static QString Shipped() { return ShippedRules().front().name; }
    template <class Widget>
    Widget& Child(QObject& parent, const char* name)
    {
        auto* child = parent.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return *child;
    }
    QListWidget& List() { return Child<QListWidget>(dialog, "ruleList"); }
    QListWidgetItem* Row(const QString& name) { return List().findItems(name, Qt::MatchExactly).value(0); }
    void ClickRow(const QString& name)
    {
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, List().visualItemRect(Row(name)).center());
    }
    void ClickBox()
    {
        QCheckBox& box = Child<QCheckBox>(dialog, "namedSectionsBox");
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.height() / 2, box.height() / 2));
    }
    // QTest::keyClicks takes ASCII only: one key event for each character.
    static void Type(QWidget& widget, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QString Preview() { return Child<QTextBrowser>(dialog, "previewText").toPlainText(); }
    QList<QVariant> Wanted() const { return wanted.isEmpty() ? QList<QVariant>{} : wanted.back(); }
    static RulePreview Made(const QString& rule, int headings)
    {
        return {rule, headings + 1, headings, {QStringLiteral("第一章 出发"), QStringLiteral("第二章 龙城")},
                1204, 9876};
    }

    HeadingRulesDialog dialog;
    // Made with the dialog, so it hears SetRules ask for the first preview.
    QSignalSpy wanted{&dialog, &HeadingRulesDialog::PreviewWanted};
    QList<RuleRow> rows;
};

TEST_F(HeadingRules, RowsShowTheirCountsAndTheBooksRuleIsSelected)
{
    ASSERT_EQ(List().count(), 3);
    EXPECT_EQ(dialog.SelectedRule(), kBuiltIn);
    EXPECT_EQ(wanted.count(), 1);
    EXPECT_EQ(Wanted(), (QList<QVariant>{kBuiltIn, false}));
    EXPECT_TRUE(Row(kBuiltIn)->data(Qt::AccessibleTextRole).toString().contains(QStringLiteral("4248 个标题")));
    EXPECT_TRUE(Row(Shipped())->data(Qt::AccessibleTextRole).toString().contains(QStringLiteral("正在统计…")));
    dialog.SetHeadingCount(Shipped(), 7437);
    EXPECT_TRUE(Row(Shipped())->data(Qt::AccessibleTextRole).toString().contains(QStringLiteral("7437 个标题")));

    // The book split by a rule with the named sections: its base rule, box ticked.
    HeadingRulesDialog combined;
    QSignalSpy asked(&combined, &HeadingRulesDialog::PreviewWanted);
    combined.SetRules(rows, Shipped() + QString::fromUtf16(kWithNamedSuffix));
    EXPECT_EQ(combined.SelectedRule(), Shipped());
    EXPECT_TRUE(combined.NamedSections());
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.front(), (QList<QVariant>{Shipped(), true}));
}

TEST_F(HeadingRules, SelectingARowOrTheBoxAsksForThePreviewAndOnlyItsPreviewIsShown)
{
    ClickRow(Shipped());
    EXPECT_EQ(Wanted(), (QList<QVariant>{Shipped(), false}));
    EXPECT_EQ(Preview(), QStringLiteral("正在生成预览…"));
    // The built-in rule's preview comes too late: the selection has moved on.
    dialog.ShowPreview(Made(kBuiltIn, 4248));
    EXPECT_EQ(Preview(), QStringLiteral("正在生成预览…"));

    ClickBox();
    EXPECT_EQ(Wanted(), (QList<QVariant>{Shipped(), true}));
    dialog.ShowPreview(Made(Shipped(), 7437));  // made without the named sections
    EXPECT_EQ(Preview(), QStringLiteral("正在生成预览…"));
    dialog.ShowPreview(Made(Shipped() + QString::fromUtf16(kWithNamedSuffix), 7437));
    EXPECT_TRUE(Preview().contains(QStringLiteral("最短 1,204 字，最长 9,876 字"))) << Preview().toStdString();
    EXPECT_TRUE(Preview().contains(QStringLiteral("7,437")));
    EXPECT_TRUE(Preview().contains(QStringLiteral("第一章 出发\n第二章 龙城")));

    // Keys move the selection as well.
    QTest::keyClick(&List(), Qt::Key_Down);
    EXPECT_EQ(Wanted(), (QList<QVariant>{kOwn, true}));
    dialog.ShowPreview(Made(kOwn + QString::fromUtf16(kWithNamedSuffix), 0));
    EXPECT_TRUE(Preview().contains(QStringLiteral("全书将只有一章")));
    EXPECT_EQ(wanted.count(), 4);
}

TEST_F(HeadingRules, EnterAppliesTheSelectionAndEscJustCloses)
{
    QSignalSpy applied(&dialog, &HeadingRulesDialog::ApplyWanted);
    ClickRow(kOwn);
    ClickBox();
    QTest::keyClick(&List(), Qt::Key_Return);
    ASSERT_EQ(applied.count(), 1);
    EXPECT_EQ(applied.front(), (QList<QVariant>{kOwn, true}));
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    QTest::keyClick(&List(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(applied.count(), 1);

    // Nothing selected, nothing to apply.
    HeadingRulesDialog unlisted;
    unlisted.SetRules(rows, QStringLiteral("已删掉的规则"));
    EXPECT_FALSE(Child<QPushButton>(unlisted, "applyButton").isEnabled());
}

TEST_F(HeadingRules, OnlyTheUsersOwnRulesCanBeRemoved)
{
    QSignalSpy removed(&dialog, &HeadingRulesDialog::UserRuleRemoved);
    QPushButton& remove = Child<QPushButton>(dialog, "deleteRuleButton");
    EXPECT_FALSE(remove.isEnabled());
    ClickRow(kOwn);
    QTest::mouseClick(&remove, Qt::LeftButton);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.front().front(), kOwn);
    ClickRow(Shipped());
    EXPECT_FALSE(remove.isEnabled());
}

TEST_F(HeadingRules, ANewRuleNeedsAUsablePatternAndAFreeName)
{
    QSignalSpy added(&dialog, &HeadingRulesDialog::UserRuleAdded);
    QTest::mouseClick(&Child<QPushButton>(dialog, "addRuleButton"), Qt::LeftButton);
    auto& form = Child<QDialog>(dialog, "addRuleDialog");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QLineEdit& name = Child<QLineEdit>(form, "ruleNameEdit");
    QLineEdit& pattern = Child<QLineEdit>(form, "patternEdit");
    QPushButton& ok = Child<QPushButton>(form, "okButton");
    QLabel& patternProblem = Child<QLabel>(form, "patternProblem");
    QLabel& verdict = Child<QLabel>(form, "exampleVerdict");
    EXPECT_FALSE(ok.isEnabled());

    Type(Child<QLineEdit>(form, "exampleEdit"), QStringLiteral("第12话 夜行"));
    Type(pattern, QStringLiteral("^第([0-9]+话"));
    EXPECT_FALSE(ok.isEnabled());
    EXPECT_EQ(patternProblem.text(), PatternProblem(pattern.text()));
    EXPECT_FALSE(patternProblem.text().isEmpty());
    pattern.setCursorPosition(3);
    QTest::keyClick(&pattern, Qt::Key_Backspace);  // the stray (
    EXPECT_TRUE(ok.isEnabled());
    EXPECT_EQ(patternProblem.text(), QString());
    EXPECT_EQ(verdict.text(), QStringLiteral("✓ 是标题"));
    QTest::keyClick(&pattern, Qt::Key_End);
    QTest::keyClicks(&pattern, QStringLiteral("$"));
    EXPECT_EQ(verdict.text(), QStringLiteral("✗ 不是标题"));
    QTest::keyClick(&pattern, Qt::Key_Backspace);

    // Empty, with a TAB, or taken: refused, and the form stays.
    QLabel& nameProblem = Child<QLabel>(form, "nameProblem");
    for (const QString& refused : {QString(), QStringLiteral("甲\t乙"), Shipped(), kOwn}) {
        name.setText(refused);
        QTest::mouseClick(&ok, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible()) << refused.toStdString();
        EXPECT_FALSE(nameProblem.text().isEmpty());
    }
    EXPECT_TRUE(nameProblem.text().contains(kOwn));
    EXPECT_EQ(added.count(), 0);

    name.setText(QStringLiteral("第N话"));
    QTest::mouseClick(&ok, Qt::LeftButton);
    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added.front(),
              (QList<QVariant>{QStringLiteral("第N话"), QStringLiteral("^第[0-9]+话"), QStringLiteral("第12话 夜行")}));
    // Listed again by the caller, the new rule is selected for its preview.
    rows.append({QStringLiteral("第N话"), QStringLiteral("第12话 夜行"), -1, true});
    dialog.SetRules(rows, kBuiltIn);
    EXPECT_EQ(dialog.SelectedRule(), QStringLiteral("第N话"));
    EXPECT_EQ(Wanted(), (QList<QVariant>{QStringLiteral("第N话"), false}));
}

}  // namespace
