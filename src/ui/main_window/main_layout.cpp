#include "ui/main_window/main_layout.h"

#include <algorithm>

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

MainLayout LayoutForWindow(double width, double height, double canvasHeight)
{
    MainLayout l = LayoutForScreen(width, height);
    constexpr double kMargin = 120;  // between the lowest button and the bottom
    constexpr double kLeastGap = 60;
    auto& rightPictures = l.chapterButtonPictures;
    const TwipsBox& lowest = rightPictures[2];
    if (lowest.top + lowest.height + kMargin <= canvasHeight)
        return l;
    const double designHeight = rightPictures[0].height;
    const double below = l.titlePanel.top + l.titlePanel.height;
    const double room = canvasHeight - kMargin - below;
    const double buttonHeight = std::clamp((room - 3 * kLeastGap) / 3, designHeight / 3, designHeight);
    const double gap = std::max(kLeastGap, (room - 3 * buttonHeight) / 3);
    const double scale = buttonHeight / designHeight;
    const auto spread = [&](std::array<TwipsBox, 3>& pictures, std::array<TwipsBox, 3>& captions) {
        for (int k = 0; k < 3; ++k) {
            const double top = below + gap + k * (buttonHeight + gap);
            captions[k].top = top + (captions[k].top - pictures[k].top) * scale;
            captions[k].height *= scale;
            pictures[k].top = top;
            pictures[k].height = buttonHeight;
        }
    };
    spread(rightPictures, l.chapterButtonCaptions);
    spread(l.bookButtonPictures, l.bookButtonCaptions);
    return l;
}
