#include "ui/widgets/menu_item_array.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A menu far taller than the screen, as the chapter menu of a long book.
class ScrollingMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One item per 20 pixels or so: several screens of items.
        count = QGuiApplication::primaryScreen()->geometry().height() / 20 * 4;
        QStringList rest;
        for (int i = 1; i < count; ++i)
            rest.append(QStringLiteral("%1\t第%1章").arg(i));
        items.SetItems(QStringLiteral("0\t"), rest);
    }
    void TearDown() override { menu->hide(); }

    void Open()
    {
        menu->popup(QPoint(0, 0));
        ASSERT_TRUE(menu->isVisible());
    }
    int Active() const { return menu->actions().indexOf(menu->activeAction()); }
    // Wholly inside what the open menu shows.
    bool InView(int index)
    {
        if (index < 0 || index >= count)
            return false;
        const QRect item = menu->actionGeometry(items.Action(index));
        return item.top() >= 0 && item.bottom() < menu->height();
    }
    // The first item wholly in view.
    int FirstInView()
    {
        for (int i = 0; i < count; ++i) {
            if (InView(i))
                return i;
        }
        return -1;
    }
    void Key(Qt::Key key) { QTest::keyClick(menu.get(), key); }

    std::unique_ptr<QMenu> menu = std::make_unique<QMenu>();
    MenuItemArray items{menu.get(), QStringLiteral("chapterItems"), QStringLiteral("空")};
    int count = 0;
    int current = -1;
};

TEST_F(ScrollingMenu, OneColumnOpenedAtTheCurrentItem)
{
    // Left as it is, the menu runs into columns off the screen.
    Open();
    EXPECT_GT(menu->actionGeometry(items.Action(count - 1)).left(), menu->actionGeometry(items.Action(0)).left());
    menu->hide();

    current = count * 3 / 4;
    items.ScrollInOneColumn([this] { return current; });
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(menu->height(), screen.height());
    EXPECT_LE(menu->width(), screen.width());
    for (int i : {0, count / 2, count - 1})
        EXPECT_EQ(menu->actionGeometry(items.Action(i)).left(), menu->actionGeometry(items.Action(0)).left()) << i;
    EXPECT_EQ(Active(), current);
    EXPECT_TRUE(InView(current));
    EXPECT_FALSE(InView(0));
    menu->hide();

    // Each opening goes to the item current then; none at all opens at the top.
    current = 2;
    Open();
    EXPECT_EQ(Active(), 2);
    EXPECT_TRUE(InView(0));
    menu->hide();
    for (const int outside : {-1, count}) {
        current = outside;
        Open();
        EXPECT_EQ(menu->activeAction(), nullptr) << outside;
        EXPECT_TRUE(InView(0)) << outside;
        menu->hide();
    }
}

TEST_F(ScrollingMenu, KeysAndWheelMoveThroughTheItems)
{
    current = count / 2;
    items.ScrollInOneColumn([this] { return current; });
    Open();
    // Page Down: the first item below the view comes to the top, selected.
    int bottom = current;
    while (InView(bottom + 1))
        ++bottom;
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Active(), bottom + 1);
    EXPECT_TRUE(InView(bottom + 1));
    Key(Qt::Key_PageUp);
    EXPECT_LT(Active(), bottom + 1);
    EXPECT_TRUE(InView(Active()));
    const int before = Active();
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    EXPECT_EQ(Active(), before + 1);
    Key(Qt::Key_End);
    EXPECT_EQ(Active(), count - 1);
    EXPECT_TRUE(InView(count - 1));
    Key(Qt::Key_Home);
    EXPECT_EQ(Active(), 0);
    EXPECT_TRUE(InView(0));

    // A wheel notch moves as many items as it moves lines in a list.
    Key(Qt::Key_PageDown);
    const int top = FirstInView();
    const QPoint inside(menu->width() / 2, menu->height() / 2);
    auto wheel = [&](int delta) {
        QWheelEvent event(inside, menu->mapToGlobal(inside), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(menu.get(), &event);
    };
    wheel(-240);
    EXPECT_EQ(FirstInView(), top + 2 * QApplication::wheelScrollLines());
    wheel(30);  // a touchpad's small step still moves
    EXPECT_EQ(FirstInView(), top + 2 * QApplication::wheelScrollLines() - 1);
}

}  // namespace
