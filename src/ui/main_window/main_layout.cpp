#include "ui/main_window/main_layout.h"

MainLayout LayoutForScreen(double screenWidth, double screenHeight)
{
    const double SW = screenWidth, SH = screenHeight;
    MainLayout l;
    TwipsBox& pane = l.readingPane;
    TwipsBox& band = l.backdropBand;
    auto& rightPictures = l.chapterButtonPictures;
    auto& rightCaptions = l.chapterButtonCaptions;
    auto& leftPictures = l.bookButtonPictures;
    auto& leftCaptions = l.bookButtonCaptions;

    pane.width = SW - 2 * pane.left;
    band.width = SW - 2 * band.left;
    pane.height = SH - pane.top - 1100;
    pane.left = (SW - pane.width) / 2;
    l.titlePanel.width = pane.width;
    l.titlePanel.left = (SW - l.titlePanel.width) / 2;
    band.left = (SW - band.width) / 2;
    band.height = SH - band.top;
    // The right column stands centred on the band's right edge, the left
    // column on its left edge, both at the right column's heights.
    rightPictures[0].left = band.left + band.width - rightPictures[0].width / 2;
    rightPictures[1].left = rightPictures[2].left = rightPictures[0].left;
    rightCaptions[0].left = rightPictures[0].left + 150;
    rightCaptions[1].left = rightCaptions[2].left = rightCaptions[0].left;
    leftPictures[0].left = band.left - leftPictures[0].width / 2;
    leftPictures[1].left = leftPictures[2].left = leftPictures[0].left;
    for (int k = 0; k < 3; ++k) {
        leftPictures[k].top = rightPictures[k].top;
        leftCaptions[k].top = rightCaptions[k].top;
    }
    leftCaptions[0].left = leftPictures[0].left + 150;
    leftCaptions[1].left = leftCaptions[2].left = leftCaptions[0].left;
    return l;
}
