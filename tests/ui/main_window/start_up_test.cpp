#include "core/books/book_settings.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/colour.h"
#include "ui/platform/user_settings.h"

#include <QTimer>

namespace {

class StartingUp : public ReaderFixture {
protected:
    void WriteSkins()
    {
        WriteSkin(QStringLiteral("言情"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontSize=13")});
        WriteSkin(QStringLiteral("甲"), {QStringLiteral("[Version1.0]")});
        // A second skin named 言情 (".ini" appears twice in the file name).
        WriteSkin(QStringLiteral("言情.ini"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontSize=15")});
    }
};

TEST_F(StartingUp, WithoutHelpDocumentShowsTheBuiltInHelpAndBanner)
{
    WriteSkins();
    StartUp(*window);
    WaitUntilIdle(*window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(state.Books.Count(), 0);
    EXPECT_EQ(state.CurrentBook, 0);
    const QStringList lines = window->Pane().Text().split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 14);
    EXPECT_EQ(lines[0], QStringLiteral("热列庆祝中华人民共和国成立60周年!"));
    EXPECT_EQ(lines[2], QStringLiteral("Txt电子文档阅读器使用说明:"));
    EXPECT_EQ(
        lines[6],
        QStringLiteral(
            "     文件->打开文件夹 "
            "在弹出的对话框中选择文件夹后打开，可以打开该文件夹下所有txt文档。适用于所有以章节形式保存的电子文档。"));
    EXPECT_EQ(lines[13], QStringLiteral("8、所有图片图标均来自互联网，感谢创作图片图标的朋友们!"));
    EXPECT_FALSE(window->Pane().Text().endsWith(QStringLiteral("\r\n")));
    // The banner: the red title over its dark grey shadow on light blue.
    const QImage& banner = window->TitlePanel().StoredImage();
    int red = 0, shadow = 0;
    for (int y = 0; y < banner.height(); ++y) {
        for (int x = 0; x < banner.width(); ++x) {
            const QColor c = banner.pixelColor(x, y);
            red += c == QColor(254, 0, 0);
            shadow += c == QColor(65, 68, 68);
        }
    }
    EXPECT_GT(red, 200);
    EXPECT_GT(shadow, 20);
    EXPECT_EQ(banner.pixelColor(banner.width() - 1, banner.height() - 1), QColor(192, 240, 249));
    EXPECT_EQ(window->TitlePanel().ForeColor(), QColor(Qt::black));
}

TEST_F(StartingUp, DefaultSkinIsTheLastOneNamedYanqing)
{
    WriteSkins();
    StartUp(*window);
    WaitUntilIdle(*window);
    ASSERT_EQ(state.Skins.Count(), 3);
    EXPECT_EQ(window->SkinItems().Captions(),
              QStringList({QStringLiteral("自定义皮肤"), QStringLiteral("甲"), QStringLiteral("言情"),
                           QStringLiteral("言情")}));
    EXPECT_EQ(state.CurrentSkin, 3);
}

TEST_F(StartingUp, HelpDocumentOpensAsTheFirstBook)
{
    program.WriteGbk(QString::fromUtf16(kHelpDocumentName), QStringLiteral("第一章 说明\r\n正文\r\n"));
    StartUp(*window);
    WaitUntilIdle(*window);
    ASSERT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Current().FileName, QString::fromUtf16(kHelpDocumentName));
    EXPECT_FALSE(window->Pane().Text().contains(QStringLiteral("使用说明")));
    EXPECT_EQ(window->BookItems().Caption(0), QString::fromUtf16(kHelpDocumentName));
}

TEST_F(StartingUp, RecentFilesComeFromBookIni)
{
    const QString kept = WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲文\r\n"));
    const QString other = WriteBook(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n乙文\r\n"));
    program.WriteGbk(QStringLiteral("book.ini"),
                     "[Version1.0]\r\nName=" + kept + ",Xcolor=,id=0,SelStart=1\r\nName=" + books.Path("无.txt")
                         + ",Xcolor=,id=0,SelStart=1\r\nName=" + other + ",Xcolor=,id=0,SelStart=1\r\n");
    StartUp(*window);
    WaitUntilIdle(*window);
    EXPECT_EQ(window->RecentFiles().Captions(), QStringList({kept, other}));
}

// A whole session: start, open, read, close; the next start lists the book
// and reopening it comes back to the same chapter and skin.
TEST_F(StartingUp, PlaceAndSkinSurviveARestart)
{
    WriteSkins();
    StartUp(*window);
    WaitUntilIdle(*window);
    const QString path =
        WriteBook(QStringLiteral("连载.txt"), QStringLiteral("第一章\r\n甲文\r\n第二章\r\n乙文\r\n第三章\r\n丙文\r\n"));
    prompter.files = {path};
    window->OpenFile();
    WaitUntilIdle(*window);
    window->NextChapter();
    window->NextChapter();
    window->ChooseSkin(1);  // 甲
    ASSERT_EQ(state.Current().ChapterIndex, 2);
    window->close();
    EXPECT_TRUE(window->Quitting());
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))),
              EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=") + path
                            + QStringLiteral(",Xcolor=甲,id=2,SelStart=1\r\n")));

    state = ReaderState();
    MakeWindow();
    StartUp(*window);
    WaitUntilIdle(*window);
    EXPECT_EQ(window->RecentFiles().Captions(), QStringList({path}));
    window->OpenRecent(0);
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(state.Skins[state.CurrentSkin].Name, QStringLiteral("甲"));
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("丙文\r\n"));

    // 启动时接着读上次的书: the next start opens it there by itself.
    window->close();
    UserSettings(ReaderFolders::Portable(program.Root()))->setValue(QStringLiteral("reading/continueAtStart"), true);
    state = ReaderState();
    MakeWindow();
    StartUp(*window);
    WaitUntilIdle(*window);
    ASSERT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.Current().Path, path);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("丙文\r\n"));
}

TEST_F(StartingUp, QuitWritesNothing)
{
    program.WriteBytes(QStringLiteral("book.ini"), "[Version1.0]\r\nkept\r\n");
    StartUp(*window);
    WaitUntilIdle(*window);
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲文\r\n")));
    window->findChild<QAction*>(QStringLiteral("quitAction"))->trigger();
    EXPECT_TRUE(window->Quitting());
    window->close();
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), QByteArray("[Version1.0]\r\nkept\r\n"));
}

TEST_F(StartingUp, ClosingDuringALoadSavesAndStopsTheLoad)
{
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += QStringLiteral("第%1章\r\n正文正文\r\n").arg(i % 30000 + 1);
    const QString big = WriteBook(QStringLiteral("大.txt"), text);
    prompter.files = {big};
    QTimer::singleShot(5, window.get(), [&] { window->close(); });
    window->OpenFile();
    WaitUntilIdle(*window);
    EXPECT_TRUE(window->Quitting());
    ASSERT_EQ(state.Books.Count(), 1);
    EXPECT_LT(state.Books[1].LastChapter(), 29999);  // the load stopped early
    EXPECT_TRUE(ReadBytes(program.Path(QStringLiteral("book.ini"))).startsWith("[Version1.0]\r\nName="));
}

}  // namespace
