#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/cover_window.h"

#include <QCoreApplication>

namespace {

class Cover : public ReaderFixture {
protected:
    void Open(const QString& name)
    {
        OpenBook(*window, WriteBook(name, QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n")));
    }
    // The title as the cover picture would show it when freshly made for the
    // current book: a new cover, drawn once, is the reference.
    QImage FreshCover()
    {
        CoverWindow fresh(state, nullptr);
        return fresh.CoverPicture().StoredImage().copy();
    }
};

// The cover used to keep the name of the book current when it was made
// (the help document at start-up) for as long as it lived.
TEST_F(Cover, ShowsTheCurrentBookWhenShownAndWhileOpen)
{
    Open(QStringLiteral("说明.txt"));
    window->Cover();  // made at start-up, as the skin makes it
    Open(QStringLiteral("西游记.txt"));
    window->ShowCover();
    EXPECT_EQ(window->Cover().DrawnTitle(), QStringLiteral("西游记.txt"));
    EXPECT_EQ(window->Cover().CoverPicture().StoredImage(), FreshCover());

    // While it is open it follows the book the main window shows.
    Open(QStringLiteral("红楼梦.txt"));
    EXPECT_EQ(window->Cover().DrawnTitle(), QStringLiteral("红楼梦.txt"));
    EXPECT_EQ(window->Cover().CoverPicture().StoredImage(), FreshCover());
    window->PreviousBook();
    EXPECT_EQ(window->Cover().DrawnTitle(), QStringLiteral("西游记.txt"));

    // Hidden, it is drawn again when next shown.
    window->Cover().hide();
    window->NextBook();
    window->ShowCover();
    EXPECT_EQ(window->Cover().DrawnTitle(), QStringLiteral("红楼梦.txt"));
    EXPECT_EQ(window->Cover().CoverPicture().StoredImage(), FreshCover());
}

// A long name is drawn smaller until it fits the picture, never below 12
// points; a name too long even then is cut and ends with "…".
TEST_F(Cover, LongNamesShrinkThenAreCut)
{
    Open(QStringLiteral("短.txt"));
    window->ShowCover();
    CoverWindow& cover = window->Cover();
    EXPECT_EQ(cover.TitlePointSize(), CoverWindow::kTitlePoints);

    Open(QStringLiteral("一部名字相当长的长篇连载小说第二部.txt"));
    PictureBox& picture = cover.CoverPicture();
    EXPECT_LT(cover.TitlePointSize(), CoverWindow::kTitlePoints);
    EXPECT_GE(cover.TitlePointSize(), CoverWindow::kSmallestTitlePoints);
    EXPECT_EQ(cover.DrawnTitle(), QStringLiteral("一部名字相当长的长篇连载小说第二部.txt"));
    EXPECT_LE(picture.TextWidth(cover.DrawnTitle()), picture.ScaleWidth());

    const QString endless = QString(80, u'长') + QStringLiteral("😀.txt");
    Open(endless);
    EXPECT_EQ(cover.TitlePointSize(), CoverWindow::kSmallestTitlePoints);
    EXPECT_TRUE(cover.DrawnTitle().endsWith(u'…'));
    EXPECT_TRUE(endless.startsWith(cover.DrawnTitle().chopped(1)));
    EXPECT_LE(picture.TextWidth(cover.DrawnTitle()), picture.ScaleWidth());
    EXPECT_TRUE(cover.DrawnTitle().isValidUtf16());
}

}  // namespace
