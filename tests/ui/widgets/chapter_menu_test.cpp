#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/platform/key_state.h"

#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

namespace {

// The main window's 查看 → 所有章节 on a book longer than the screen.
class ChapterMenu : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        window->SetKeyState(&keys);
        last = QGuiApplication::primaryScreen()->geometry().height() / 10;
        QString text = QStringLiteral("前言\r\n");
        for (int i = 1; i <= last; ++i)
            text += QStringLiteral("第%1回 标题\r\n正文%1\r\n").arg(i);
        OpenBook(*window, WriteBook(QStringLiteral("长篇.txt"), text));
        window->Reading().BuildChapterMenu();
    }
    void TearDown() override { QApplication::closeAllWindows(); }

    QMenu& Menu(const char* name) { return *window->findChild<QMenu*>(QString::fromLatin1(name)); }
    int Active() { return Menu("chaptersMenu").actions().indexOf(Menu("chaptersMenu").activeAction()); }
    bool InView(int index)
    {
        QMenu& menu = Menu("chaptersMenu");
        const QRect item = menu.actionGeometry(window->ChapterItems().Action(index));
        return item.top() >= 0 && item.bottom() < menu.height();
    }
    int Chapter() { return state.Current().ChapterIndex; }

    KeyState keys;
    int last = 0;
};

TEST_F(ChapterMenu, OpensFromTheMenuBarAtTheCurrentChapter)
{
    state.Current().ChapterIndex = last - 3;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // 查看, then 所有章节 from the keyboard.
    QMenuBar* bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(Menu("viewMenu").menuAction()).center());
    ASSERT_TRUE(Menu("viewMenu").isVisible());
    Menu("viewMenu").setActiveAction(Menu("chaptersMenu").menuAction());
    QTest::keyClick(&Menu("viewMenu"), Qt::Key_Right);
    QCoreApplication::processEvents();
    QMenu& menu = Menu("chaptersMenu");
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(Active(), last - 3);
    EXPECT_TRUE(InView(last - 3));

    // Paging the menu leaves the book where it is; choosing moves it.
    QTest::keyClick(&menu, Qt::Key_PageUp);
    QTest::keyClick(&menu, Qt::Key_Home);
    QTest::keyClick(&menu, Qt::Key_End);
    QTest::keyClick(&menu, Qt::Key_PageUp);
    window->PollPageKeys();
    EXPECT_EQ(Chapter(), last - 3);
    const int chosen = Active();
    EXPECT_LT(chosen, last);
    QTest::keyClick(&menu, Qt::Key_Return);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(Chapter(), chosen);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("正文%1\r\n").arg(chosen));
}

TEST_F(ChapterMenu, SelectsNoChapterOfAnotherBook)
{
    // Another book became current while the menu still lists this one (a
    // book still loading, say): its chapter number means nothing here.
    OpenBook(*window, WriteBook(QStringLiteral("短篇.txt"), QStringLiteral("第一回\r\n甲\r\n第二回\r\n乙\r\n")));
    const int shortBook = state.CurrentBook;
    state.CurrentBook = 1;
    window->Reading().BuildChapterMenu();
    state.CurrentBook = static_cast<std::int16_t>(shortBook);
    state.Current().ChapterIndex = 1;
    Menu("chaptersMenu").popup(QPoint(0, 0));
    EXPECT_EQ(Menu("chaptersMenu").activeAction(), nullptr);
}

}  // namespace
