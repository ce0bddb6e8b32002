#include "ui/widgets/background.h"
#include "ui/widgets/rule_offer_bar.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The bar above a stand-in for the reading pane, which has the keys, in a
// window of a skin's colour. Each answer is signalled and hides the bar;
// the keys stay with the pane, or go back to it from a button tabbed to.
TEST(RuleOfferBar, AnswersHideTheBarAndLeaveTheKeysWithThePane)
{
    QWidget window;
    SetBackground(&window, QColor(0x20, 0x30, 0x28));
    auto* layout = new QVBoxLayout(&window);
    // The pane comes before the bar in the focus chain and a field after it,
    // where the keys would go from a button that hides.
    auto* pane = new QLineEdit(&window);
    auto* bar = new RuleOfferBar(&window);
    layout->addWidget(bar);
    layout->addWidget(pane);
    layout->addWidget(new QLineEdit(&window));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    pane->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([pane] { return pane->hasFocus(); }));
    QSignalSpy accepted(bar, &RuleOfferBar::Accepted);
    QSignalSpy declined(bar, &RuleOfferBar::Declined);
    auto* use = bar->findChild<QPushButton*>(QStringLiteral("acceptButton"));
    const QString text = QStringLiteral("内置规则识别出 4,248 章，规则「第N章（数字不限长短）」识别出 7,437 章");
    EXPECT_FALSE(bar->isVisible());

    bar->Offer(text);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->findChild<QLabel*>(QStringLiteral("offerText"))->text(), text);
    EXPECT_TRUE(pane->hasFocus());
    EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), Background(&window));
    QTest::mouseClick(use, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(declined.count(), 0);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(pane->hasFocus());

    bar->Offer(text);
    QTest::mouseClick(bar->findChild<QPushButton*>(QStringLiteral("declineButton")), Qt::LeftButton);
    bar->Offer(text);
    QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    EXPECT_EQ(declined.count(), 2);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(pane->hasFocus());

    // Another skin: the bar follows the window's colours.
    SetBackground(&window, QColor(0xf0, 0xe8, 0xd0));
    bar->Offer(text);
    EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), QColor(0xf0, 0xe8, 0xd0));
    use->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([use] { return use->hasFocus(); }));
    QTest::keyClick(use, Qt::Key_Escape);
    EXPECT_EQ(declined.count(), 3);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(pane->hasFocus());
}

}  // namespace
