#include "platform/twips.h"
#include "reader_fixture.h"
#include "ui/main/form2.h"
#include "ui/main/main_layout.h"

#include <QMenuBar>

namespace {

TEST(MainLayout, FollowsTheScreenSize)
{
    for (const auto [SW, SH] : {std::pair{19200.0, 10800.0}, std::pair{15360.0, 11520.0}}) {
        const MainLayout l = LayoutForScreen(SW, SH);
        EXPECT_EQ(l.Text1, (TwipsBox{720, 1680, SW - 1440, SH - 2780}));
        EXPECT_EQ(l.Picture1, (TwipsBox{720, 0, SW - 1440, 1695}));
        EXPECT_EQ(l.Label1, (TwipsBox{360, 0, SW - 720, SH}));
        const double tops[] = {5160, 6960, 8400}, captionTops[] = {5280, 6960, 8520};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(l.Image1[k], (TwipsBox{SW - 660, tops[k], 600, 1050}));
            EXPECT_EQ(l.Label2[k], (TwipsBox{SW - 510, captionTops[k], 375, 855}));
            // The left column takes the right column's heights.
            EXPECT_EQ(l.Image2[k], (TwipsBox{60, tops[k], 600, 1050}));
            EXPECT_EQ(l.Label3[k], (TwipsBox{210, captionTops[k], 375, 855}));
        }
    }
}

using MainWindow = ReaderFixture;

TEST_F(MainWindow, ControlsMenusAndCaptionAsDesigned)
{
    Form4& w = *window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("NandeoTxt文件阅读器"));
    EXPECT_EQ(w.Timer1->interval(), 50);
    EXPECT_TRUE(w.Timer1->isActive());
    for (const char* name : {"Picture1", "Label1", "Text1", "Timer1"})
        EXPECT_NE(w.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(w.findChildren<ClickableLabel*>(QStringLiteral("Image1")).size(), 3);
    EXPECT_EQ(w.Label2[0]->text(), QStringLiteral("上一页"));
    EXPECT_EQ(w.Label3[1]->text(), QStringLiteral("下一本封面"));
    EXPECT_EQ(w.Label2[1]->font().family(), QStringLiteral("黑体"));

    QStringList bar;
    for (QAction* action : w.menuBar()->actions())
        bar.append(action->text());
    EXPECT_EQ(bar, QStringList({"文件", "查看", "字体", "皮肤"}));
    QStringList fileItems;
    for (QAction* action : w.files->actions())
        fileItems.append(action->text());
    EXPECT_EQ(fileItems, QStringList({"打开", "另存为Cor文件", "转入记事本", "打开文件夹", "最近打开的文件", "退出"}));
    EXPECT_FALSE(w.cor->isEnabled());
    EXPECT_EQ(w.find->text(), QStringLiteral("查找(&F)"));
    for (MenuItemArray* array : {w.Nl, w.Bnull, w.ZNull}) {
        EXPECT_EQ(array->Count(), 1);
        EXPECT_EQ(array->Caption(0), QStringLiteral("空"));
    }
    EXPECT_EQ(w.skin->Caption(0), QStringLiteral("自定义皮肤"));
    EXPECT_EQ(w.skin->Action(0)->objectName(), QStringLiteral("skin"));

    // The layout at load put the pane at its margins for this screen.
    const QSizeF screen = ScreenSizeInTwips();
    EXPECT_EQ(w.Text1->geometry(), TwipsRect(720, 1680, screen.width() - 1440, screen.height() - 2780));
    EXPECT_EQ(w.Text1->palette().color(QPalette::Base), QColor(192, 240, 249));
    EXPECT_EQ(w.BandColor(), QColor(5, 85, 100));
    EXPECT_EQ(w.Text1->font().pointSizeF(), 14);
}

TEST_F(MainWindow, SplashShowsAndClosesAnyNumberOfTimes)
{
    Form2& splash = window->Splash();
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

TEST_F(MainWindow, PaneCountsLineBreaksAsTwoCharacters)
{
    ReadingPane& pane = *window->Text1;
    pane.SetText(QStringLiteral("甲乙\r\n丙丁\r\n\r\n戊"));
    EXPECT_EQ(pane.Length(), 11);
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("甲乙\n丙丁\n\n戊"));
    // After a change the caret stands after the first character.
    EXPECT_EQ(pane.SelStart(), 1);
    pane.SetSelStart(5);  // before 丁
    EXPECT_EQ(pane.textCursor().position(), 4);
    EXPECT_EQ(pane.SelStart(), 5);
    pane.SetSelStart(10);  // before 戊
    EXPECT_EQ(pane.textCursor().position(), 7);
    EXPECT_EQ(pane.SelStart(), 10);
    pane.SetSelLength(1);
    EXPECT_EQ(pane.textCursor().selectedText(), QStringLiteral("戊"));
    // An offset between CR and LF stands before the line break.
    pane.SetSelStart(3);
    EXPECT_EQ(pane.textCursor().position(), 2);

    pane.AppendText(QStringLiteral("\r\n己"));
    EXPECT_EQ(pane.Text(), QStringLiteral("甲乙\r\n丙丁\r\n\r\n戊\r\n己"));
}

}  // namespace
