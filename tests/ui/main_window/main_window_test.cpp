#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/library_window.h"
#include "ui/dialogs/reading_settings_dialog.h"
#include "ui/main_window/main_layout.h"
#include "ui/main_window/splash_window.h"
#include "ui/platform/twips.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

TEST(MainLayout, FollowsTheScreenSize)
{
    for (const auto& [SW, SH] : {std::pair{19200.0, 10800.0}, std::pair{15360.0, 11520.0}}) {
        const MainLayout l = LayoutForScreen(SW, SH);
        EXPECT_EQ(l.readingPane, (TwipsBox{720, 1680, SW - 1440, SH - 2780}));
        EXPECT_EQ(l.titlePanel, (TwipsBox{720, 0, SW - 1440, 1695}));
        EXPECT_EQ(l.backdropBand, (TwipsBox{360, 0, SW - 720, SH}));
        const double tops[] = {5160, 6960, 8400}, captionTops[] = {5280, 6960, 8520};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(l.chapterButtonPictures[k], (TwipsBox{SW - 660, tops[k], 600, 1050}));
            EXPECT_EQ(l.chapterButtonCaptions[k], (TwipsBox{SW - 510, captionTops[k], 375, 855}));
            // The left column takes the right column's heights.
            EXPECT_EQ(l.bookButtonPictures[k], (TwipsBox{60, tops[k], 600, 1050}));
            EXPECT_EQ(l.bookButtonCaptions[k], (TwipsBox{210, captionTops[k], 375, 855}));
        }
    }
}

// In a window shorter than the design heights the buttons spread down the
// band below the title panel: inside the canvas, apart, captions on their
// pictures. A window of the screen's height keeps the design.
TEST(MainLayout, ButtonsStayInsideAShortWindow)
{
    EXPECT_EQ(LayoutForWindow(19200, 10800, 10440), LayoutForScreen(19200, 10800));
    for (const double canvasHeight : {8625.0, 6375.0, 4500.0}) {
        const MainLayout l = LayoutForWindow(12000, canvasHeight + 375, canvasHeight);
        for (const auto* column : {&l.chapterButtonPictures, &l.bookButtonPictures}) {
            const auto& pictures = *column;
            const auto& captions = column == &l.chapterButtonPictures ? l.chapterButtonCaptions : l.bookButtonCaptions;
            for (int k = 0; k < 3; ++k) {
                EXPECT_LE(pictures[k].top + pictures[k].height, canvasHeight) << canvasHeight;
                EXPECT_GE(captions[k].top, pictures[k].top);
                EXPECT_LE(captions[k].top + captions[k].height, pictures[k].top + pictures[k].height);
                if (k > 0) {
                    EXPECT_GE(pictures[k].top, pictures[k - 1].top + pictures[k - 1].height) << canvasHeight;
                }
            }
        }
    }
}

using MainWindowTest = ReaderFixture;

// Night mode shows the night skin over the book's own, which the book keeps,
// darkens the scroll bar with the page, and is on again after a restart.
TEST_F(MainWindowTest, NightModeComesOverTheBooksSkinAndBack)
{
    WriteSkin(QStringLiteral("言情"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontBackColor=16777215")});
    WriteSkin(QStringLiteral("夜读"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontBackColor=2760476")});
    LoadSkins(*window);
    window->Reading().UseSkinNamed(QStringLiteral("言情"));
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n正文\r\n")));
    const int ownSkin = state.Current().SkinIndex;
    auto* night = window->findChild<QAction*>(QStringLiteral("nightModeAction"));
    const auto page = [&] { return window->Pane().palette().color(QPalette::Base); };
    EXPECT_EQ(page(), QColor(Qt::white));
    night->trigger();
    EXPECT_EQ(page(), QColor(0x1c, 0x1f, 0x2a));  // 2760476 as BGR
    EXPECT_EQ(window->Pane().verticalScrollBar()->palette().color(QPalette::Window), page());
    EXPECT_EQ(state.Current().SkinIndex, ownSkin);

    MakeWindow();
    LoadSkins(*window);
    window->RestoreNightMode();
    EXPECT_TRUE(window->Reading().NightMode());
    window->findChild<QAction*>(QStringLiteral("nightModeAction"))->trigger();
    EXPECT_FALSE(window->Reading().NightMode());
}

// 设置 shows each change on the page at once; 取消 goes back, 确定 keeps it
// for the next start.
TEST_F(MainWindowTest, ReadingSettingsPreviewAndSurviveARestart)
{
    auto open = [&] {
        window->findChild<QAction*>(QStringLiteral("settingsAction"))->trigger();
        auto* dialog = window->findChild<ReadingSettingsDialog*>();
        EXPECT_NE(dialog, nullptr);
        return dialog;
    };
    ReadingSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QSpinBox*>(QStringLiteral("lineCharactersBox"))->setValue(30);
    EXPECT_EQ(window->Pane().Typography().lineCharacters, 30);
    dialog->reject();
    EXPECT_EQ(window->Pane().Typography().lineCharacters, 0);

    dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QSpinBox*>(QStringLiteral("lineSpacingBox"))->setValue(150);
    dialog->findChild<QCheckBox*>(QStringLiteral("justifiedBox"))->setChecked(true);
    dialog->accept();
    MakeWindow();
    EXPECT_EQ(window->Pane().Typography().lineSpacingPercent, 150);
    EXPECT_TRUE(window->Pane().Typography().justified);
}

// Ctrl+D marks the place; the 书签 menu goes back to it within the book,
// and a bookmark chosen in 书架 from another book opens its book there.
TEST_F(MainWindowTest, BookmarksTakeTheReaderBackToTheirPlace)
{
    const QString body = QStringLiteral("正文一行，写得长一些。\r\n").repeated(60);
    const QString first = WriteBook(QStringLiteral("甲.txt"),
                                    QStringLiteral("前言\r\n第一章\r\n") + body + QStringLiteral("第二章\r\n") + body);
    const QString second = WriteBook(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n正文\r\n"));
    window->show();
    window->Reading().Open({first}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(WaitUntilIdle(*window));
    window->Reading().GoToChapter(2);
    window->Pane().ScrollToOffset(12 * 30);
    const qsizetype top = window->Pane().FirstVisibleOffset();
    ASSERT_GT(top, 0);
    window->findChild<QAction*>(QStringLiteral("addBookmarkAction"))->trigger();

    window->Reading().GoToChapter(1);
    auto* menu = window->findChild<QMenu*>(QStringLiteral("bookmarksMenu"));
    emit menu->aboutToShow();
    QAction* mark = nullptr;
    for (QAction* item : menu->actions()) {
        if (item->text().startsWith(QStringLiteral("第二章")))
            mark = item;
    }
    ASSERT_NE(mark, nullptr);
    mark->trigger();
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(window->Pane().FirstVisibleOffset(), top);

    window->Reading().Open({second}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(WaitUntilIdle(*window));
    window->findChild<QAction*>(QStringLiteral("libraryAction"))->trigger();
    auto* library = window->findChild<LibraryWindow*>(QStringLiteral("libraryWindow"));
    ASSERT_NE(library, nullptr);
    const QList<Bookmark> marks = window->Reading().Library().Bookmarks();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].path, first);
    window->Reading().GoToChapter(1);  // of 乙
    emit library->BookmarkRequested(marks[0]);
    EXPECT_EQ(state.Current().Path, first);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(window->Pane().FirstVisibleOffset(), top);
}

// 专注阅读 leaves the text alone on the window and Esc brings the rest back;
// the font size in use is checked in its menu; F3 with nothing to find next
// opens the find dialog.
TEST_F(MainWindowTest, FocusModeCheckMarksAndFindNext)
{
    window->show();
    auto action = [&](const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); };
    auto* caption = window->findChild<ClickableLabel*>(QStringLiteral("contentsButtonCaption"));
    const QRect paneBefore = window->Pane().geometry();
    action("focusModeAction")->trigger();
    EXPECT_FALSE(caption->isVisible());
    EXPECT_FALSE(window->TitlePanel().isVisible());
    EXPECT_FALSE(window->menuBar()->isVisible());
    EXPECT_GT(window->Pane().height(), paneBefore.height());
    QTest::keyClick(&window->Pane(), Qt::Key_Escape);
    EXPECT_TRUE(caption->isVisible());
    EXPECT_TRUE(window->TitlePanel().isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Pane().geometry() == paneBefore; }, 5000));

    auto* fontMenu = window->findChild<QMenu*>(QStringLiteral("fontMenu"));
    action("largeFont")->trigger();
    emit fontMenu->aboutToShow();
    EXPECT_TRUE(action("largeFont")->isChecked());
    EXPECT_FALSE(action("mediumFont")->isChecked());

    action("findNextAction")->trigger();
    auto* find = window->findChild<QWidget*>(QStringLiteral("findDialog"));
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
}

// The real window made as small as it goes: every button, caption and the
// pane inside the canvas, laid out again for the new size.
TEST_F(MainWindowTest, TheSmallestWindowShowsEveryControl)
{
    window->showNormal();
    window->setWindowState(Qt::WindowNoState);
    window->resize(MainWindow::kSmallestWindow);
    auto* canvas = window->findChild<QWidget*>(QStringLiteral("canvas"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvas->height() < MainWindow::kSmallestWindow.height(); }, 5000));
    const QList<ClickableLabel*> labels = window->findChildren<ClickableLabel*>();
    ASSERT_EQ(labels.size(), 12);
    for (const ClickableLabel* label : labels)
        EXPECT_TRUE(canvas->rect().contains(label->geometry())) << label->objectName().toStdString();
    EXPECT_TRUE(canvas->rect().contains(window->Pane().geometry()));

    // That size comes back at the next start, not maximised.
    window->SaveWindowPlace();
    MakeWindow();
    EXPECT_EQ(window->size(), MainWindow::kSmallestWindow);
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, ControlsMenusAndCaptionAsDesigned)
{
    MainWindow& w = *window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("NandeoTxt文件阅读器"));
    auto child = [&](const char* name) { return w.findChild<QObject*>(QString::fromLatin1(name)); };
    auto* timer = qobject_cast<QTimer*>(child("pageKeyTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 50);
    EXPECT_TRUE(timer->isActive());
    for (const char* name : {"titlePanel", "backdropBand", "readingPane"})
        EXPECT_NE(child(name), nullptr) << name;
    const std::pair<const char*, QString> buttons[] = {
        {"previousChapterButton", "上一页"}, {"contentsButton", "主目录"},     {"nextChapterButton", "下一页"},
        {"previousBookButton", "上一本"},    {"nextBookButton", "下一本封面"}, {"coverButton", "主封面"}};
    for (const auto& [name, caption] : buttons) {
        const QString base = QString::fromLatin1(name);
        EXPECT_NE(w.findChild<ClickableLabel*>(base + "Picture"), nullptr) << name;
        auto* label = w.findChild<ClickableLabel*>(base + "Caption");
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), caption);
        EXPECT_EQ(label->font().family(), QStringLiteral("黑体"));
    }

    QStringList bar;
    for (QAction* action : w.menuBar()->actions())
        bar.append(action->text());
    EXPECT_EQ(bar, QStringList({"文件", "查看", "字体", "皮肤", "书签", "帮助"}));
    QStringList fileItems;
    for (QAction* action : w.findChild<QMenu*>(QStringLiteral("fileMenu"))->actions())
        fileItems.append(action->text());
    EXPECT_EQ(fileItems,
              QStringList(
                  {"打开", "另存为Cor文件", "转入记事本", "打开文件夹", "书架", "立即同步", "最近打开的文件", "退出"}));
    EXPECT_FALSE(w.findChild<QAction*>(QStringLiteral("saveAsCorAction"))->isEnabled());
    EXPECT_EQ(w.findChild<QAction*>(QStringLiteral("findAction"))->text(), QStringLiteral("查找(&F)"));
    for (MenuItemArray* array : {&w.RecentFiles(), &w.BookItems(), &w.ChapterItems()}) {
        EXPECT_EQ(array->Count(), 1);
        EXPECT_EQ(array->Caption(0), QStringLiteral("空"));
    }
    EXPECT_EQ(w.SkinItems().Caption(0), QStringLiteral("自定义皮肤"));
    EXPECT_EQ(w.SkinItems().Action(0)->objectName(), QStringLiteral("skinItems"));

    // The layout at load put the pane at its margins for this screen.
    const QSizeF screen = ScreenSizeInTwips();
    EXPECT_EQ(w.Pane().geometry(), TwipsRect(720, 1680, screen.width() - 1440, screen.height() - 2780));
    EXPECT_EQ(w.Pane().palette().color(QPalette::Base), QColor(192, 240, 249));
    EXPECT_EQ(w.BandColor(), QColor(5, 85, 100));
    EXPECT_EQ(w.Pane().font().pointSizeF(), 14);
}

TEST_F(MainWindowTest, SplashShowsAndClosesAnyNumberOfTimes)
{
    SplashWindow& splash = window->Splash();
    splash.CloseSplash();  // not open: no effect
    splash.ShowSplash();
    splash.ShowSplash();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.size(), QSize(TwipsToPixels(5010), TwipsToPixels(2115)));
    splash.CloseSplash();
    splash.CloseSplash();
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(MainWindowTest, PaneCountsLineBreaksAsTwoCharacters)
{
    ReadingPane& pane = window->Pane();
    pane.SetText(QStringLiteral("甲乙\r\n丙丁\r\n\r\n戊"));
    EXPECT_EQ(pane.Length(), 11);
    EXPECT_EQ(pane.WidgetPosition(pane.Length()), 8);  // 甲乙\n丙丁\n\n戊
    // After a change the caret stands after the first character.
    EXPECT_EQ(pane.SelStart(), 1);
    pane.SetSelStart(5);  // before 丁
    EXPECT_EQ(pane.WidgetPosition(pane.SelStart()), 4);
    EXPECT_EQ(pane.SelStart(), 5);
    pane.SetSelStart(10);  // before 戊
    EXPECT_EQ(pane.WidgetPosition(pane.SelStart()), 7);
    EXPECT_EQ(pane.SelStart(), 10);
    pane.SetSelLength(1);
    EXPECT_EQ(pane.SelectedText(), QStringLiteral("戊"));
    // An offset between CR and LF stands before the line break.
    pane.SetSelStart(3);
    EXPECT_EQ(pane.SelStart(), 2);

    pane.AppendText(QStringLiteral("\r\n己"));
    EXPECT_EQ(pane.Text(), QStringLiteral("甲乙\r\n丙丁\r\n\r\n戊\r\n己"));
}

}  // namespace
