#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/cover_window.h"
#include "ui/main_window/start_up.h"
#include "ui/main_window/window_skin.h"
#include "ui/platform/colour.h"
#include "ui/widgets/picture_cache.h"

#include <QImage>

namespace {

// Pixels of `image` within `rows` close to `colour`.
int CountNear(const QImage& image, const QColor& colour, int firstRow, int lastRow, int tolerance = 40)
{
    int count = 0;
    for (int y = std::max(firstRow, 0); y <= std::min(lastRow, image.height() - 1); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green())
                    + std::abs(c.blue() - colour.blue())
                <= tolerance)
                ++count;
        }
    }
    return count;
}

class Skinning : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        // A plain white default title picture, so drawn text stands out.
        QImage white(866, 112, QImage::Format_RGB32);
        white.fill(Qt::white);
        QDir().mkpath(program.Path(QStringLiteral("SImage")));
        ASSERT_TRUE(white.save(program.Path(QStringLiteral("SImage/2.jpg")), "JPG"));
    }

    void OpenBookNamed(const QString& name)
    {
        OpenBook(*window, WriteBook(name, QStringLiteral("第一章 开端\r\n正文\r\n")));
    }

    // Loads the skins written so far and makes `name` the one in use.
    void UseSkin(const QString& name)
    {
        state.Skins.Reset();
        LoadSkins(*window);
        for (int i = 1; i <= state.Skins.Count(); ++i) {
            if (state.Skins[i].Name == name)
                state.CurrentSkin = static_cast<std::uint8_t>(i);
        }
        ASSERT_NE(state.CurrentSkin, 0);
    }
};

TEST_F(Skinning, DefaultTitlePanelWithoutSkin)
{
    OpenBookNamed(QStringLiteral("风云录.txt"));
    state.Current().ChapterIndex = 0;
    window->ApplySkin();
    const QImage& panel = window->TitlePanel().StoredImage();
    const int split = static_cast<int>(900 / (window->TitlePanel().ScaleHeight() / panel.height()));
    // The name in red over a grey shadow above, the chapter title in black below.
    EXPECT_GT(CountNear(panel, QColor(254, 0, 0), 0, split - 1), 100);
    EXPECT_GT(CountNear(panel, QColor(65, 68, 68), 0, split - 1), 20);
    EXPECT_GT(CountNear(panel, Qt::black, split, panel.height() - 1, 30), 100);
    EXPECT_EQ(CountNear(panel, QColor(254, 0, 0), split + 20, panel.height() - 1), 0);
    EXPECT_EQ(window->TitlePanel().Font().family(), QStringLiteral("隶书"));
    EXPECT_TRUE(window->TitlePanel().Font().bold());
    EXPECT_EQ(window->TitlePanel().Font().pointSizeF(), 36);

    // Running it again without a change draws the panel identically.
    const QImage before = panel.copy();
    window->ApplySkin();
    EXPECT_EQ(window->TitlePanel().StoredImage(), before);
}

TEST_F(Skinning, ContentsViewTitleAndExtensionRule)
{
    OpenBookNamed(QStringLiteral("大写.TXT"));
    window->ApplySkin();
    const QImage withExtension = window->TitlePanel().StoredImage().copy();
    OpenBookNamed(QStringLiteral("大写.txt"));
    window->ApplySkin();
    // ".TXT" stays in the name; ".txt" does not, so the panels differ.
    EXPECT_NE(window->TitlePanel().StoredImage(), withExtension);
    EXPECT_EQ(state.Current().ChapterIndex, -1);  // the contents view: title "目录"
}

TEST_F(Skinning, SkinSettingsReachEveryWindow)
{
    QImage cover(100, 100, QImage::Format_RGB32);
    cover.fill(QColor(0, 0, 255));
    cover.save(program.Path(QStringLiteral("SImage/cover.png")));
    WriteSkin(QStringLiteral("夜读"),
              {
                  QStringLiteral("[Version1.0]"),
                  QStringLiteral("MainFontColor=65280//green book name"),
                  QStringLiteral("MainFontName=黑体"),
                  QStringLiteral("MainFontSize=20"),
                  QStringLiteral("FontName=宋体"),
                  QStringLiteral("FontSize=11.5"),
                  QStringLiteral("FontForeColer=16777215"),
                  QStringLiteral("FontBackColor=3355443"),
                  QStringLiteral("Backcolor=255"),
                  QStringLiteral("Backcolor2=65535"),
                  QStringLiteral("FbackColor=8421504"),
                  QStringLiteral("FbackPicture=\\SImage\\cover.png"),
              });
    UseSkin(QStringLiteral("夜读"));
    OpenBookNamed(QStringLiteral("甲.txt"));
    window->ApplySkin();

    EXPECT_EQ(window->Pane().font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(window->Pane().font().pointSizeF(), 11.5);
    EXPECT_EQ(window->Pane().palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(window->Pane().palette().color(QPalette::Base), QColor(51, 51, 51));
    EXPECT_EQ(window->TitlePanel().BackColor(), QColor(51, 51, 51));
    EXPECT_EQ(window->BackColor(), QColor(255, 0, 0));
    EXPECT_EQ(window->BandColor(), QColor(255, 255, 0));
    EXPECT_FALSE(window->HasCover());  // made when first shown, with the skin's look
    EXPECT_EQ(window->Cover().BackColor(), QColor(128, 128, 128));
    // The cover picture was found under the program folder.
    const QImage& coverImage = window->Cover().CoverPicture().StoredImage();
    EXPECT_EQ(coverImage.pixelColor(10, 10), QColor(0, 0, 255));
    EXPECT_GT(CountNear(window->TitlePanel().StoredImage(), QColor(0, 255, 0), 0, 50), 50);
}

TEST_F(Skinning, UnusableSettingsLeaveTheirTargets)
{
    WriteSkin(QStringLiteral("坏"),
              {
                  QStringLiteral("[Version1.0]"),
                  QStringLiteral("MainFontColor=red"),
                  QStringLiteral("MainPicture=\\SImage\\missing.jpg"),
                  QStringLiteral("FontSize=big"),
                  QStringLiteral("Backcolor=nan"),
              });
    OpenBookNamed(QStringLiteral("甲.txt"));
    const QColor back = window->BackColor();
    const double size = window->Pane().font().pointSizeF();
    UseSkin(QStringLiteral("坏"));
    window->ApplySkin();
    EXPECT_EQ(window->BackColor(), back);
    EXPECT_EQ(window->Pane().font().pointSizeF(), size);
    // A name colour that is no number: both draws stay in the shadow colour.
    EXPECT_EQ(CountNear(window->TitlePanel().StoredImage(), QColor(254, 0, 0), 0, 50), 0);
    EXPECT_GT(CountNear(window->TitlePanel().StoredImage(), QColor(65, 68, 68), 0, 50), 100);
}

TEST_F(Skinning, PicturesAreDecodedOncePerFile)
{
    OpenBookNamed(QStringLiteral("甲.txt"));
    window->ApplySkin();
    const int decodes = window->Pictures().Decodes();
    for (int i = 0; i < 5; ++i)
        window->NextChapter();
    EXPECT_EQ(window->Pictures().Decodes(), decodes);
    // A changed file is read again.
    QImage grey(866, 112, QImage::Format_RGB32);
    grey.fill(Qt::gray);
    grey.save(program.Path(QStringLiteral("SImage/2.jpg")), "JPG");
    QFile::resize(program.Path(QStringLiteral("SImage/2.jpg")),
                  QFileInfo(program.Path(QStringLiteral("SImage/2.jpg"))).size());
    window->ApplySkin();
    EXPECT_EQ(window->Pictures().Decodes(), decodes + 1);
}

}  // namespace
