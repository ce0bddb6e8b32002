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

// The bar above a stand-in for the reading pane, in a window of a skin's
// colour; the pane has the keys.
class RuleOfferBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetBackground(&window, QColor(0x20, 0x30, 0x28));
        auto* layout = new QVBoxLayout(&window);
        bar = new RuleOfferBar(&window);
        pane = new QLineEdit(&window);
        layout->addWidget(bar);
        layout->addWidget(pane);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        pane->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([this] { return pane->hasFocus(); }));
    }
    template <class Button>
    Button* Find(const char* name)
    {
        return bar->findChild<Button*>(QString::fromLatin1(name));
    }

    QWidget window;
    RuleOfferBar* bar = nullptr;
    QLineEdit* pane = nullptr;
};

TEST_F(RuleOfferBarTest, EachAnswerIsSignalledAndHidesTheBarWithoutTakingTheKeys)
{
    QSignalSpy accepted(bar, &RuleOfferBar::Accepted);
    QSignalSpy declined(bar, &RuleOfferBar::Declined);
    const QString text = QStringLiteral("内置规则识别出 4,248 章，规则「第N章（数字不限长短）」识别出 7,437 章");
    EXPECT_FALSE(bar->isVisible());

    bar->Offer(text);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->findChild<QLabel*>(QStringLiteral("offerText"))->text(), text);
    EXPECT_TRUE(pane->hasFocus());
    QTest::mouseClick(Find<QPushButton>("acceptButton"), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(declined.count(), 0);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(pane->hasFocus());

    bar->Offer(text);
    QTest::mouseClick(Find<QPushButton>("declineButton"), Qt::LeftButton);
    bar->Offer(text);
    QTest::mouseClick(Find<QToolButton>("closeButton"), Qt::LeftButton);
    EXPECT_EQ(declined.count(), 2);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(pane->hasFocus());
}

// Tabbed into, Esc declines and the keys go back to the pane.
TEST_F(RuleOfferBarTest, EscOnTheBarDeclinesAndGivesTheKeysBack)
{
    QSignalSpy declined(bar, &RuleOfferBar::Declined);
    bar->Offer(QStringLiteral("规则「Chapter N」识别出 120 章"));
    Find<QPushButton>("acceptButton")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Find<QPushButton>("acceptButton")->hasFocus(); }));
    QTest::keyClick(Find<QPushButton>("acceptButton"), Qt::Key_Escape);
    EXPECT_EQ(declined.count(), 1);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(pane->hasFocus());
}

TEST_F(RuleOfferBarTest, DrawsInTheWindowsColours)
{
    bar->Offer(QStringLiteral("规则「Chapter N」识别出 120 章"));
    EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), Background(&window));
    // A new skin repaints the window: the bar follows.
    SetBackground(&window, QColor(0xf0, 0xe8, 0xd0));
    EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), QColor(0xf0, 0xe8, 0xd0));
}

}  // namespace
