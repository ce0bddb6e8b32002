#pragma once

#include <array>

// A control's place in twips.
struct TwipsBox {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsBox&) const = default;
};

// Where the main window's controls stand, in twips. The button arrays run
// top to bottom: previous chapter, contents, next chapter on the right;
// previous book, next book, cover on the left.
struct MainLayout {
    TwipsBox titlePanel{720, 0, 13005, 1695};
    TwipsBox backdropBand{360, 0, 13815, 7575};
    TwipsBox readingPane{720, 1680, 12975, 5775};
    std::array<TwipsBox, 3> chapterButtonPictures{
        {{13920, 5160, 600, 1050}, {13920, 6960, 600, 1050}, {13920, 8400, 600, 1050}}};
    std::array<TwipsBox, 3> chapterButtonCaptions{
        {{14040, 5280, 375, 855}, {14040, 6960, 375, 855}, {14040, 8520, 375, 855}}};
    std::array<TwipsBox, 3> bookButtonPictures{{{0, 4680, 600, 1050}, {0, 6000, 600, 1050}, {0, 7440, 600, 1050}}};
    std::array<TwipsBox, 3> bookButtonCaptions{{{120, 4800, 375, 855}, {120, 6120, 375, 855}, {120, 7560, 375, 855}}};
    bool operator==(const MainLayout&) const = default;
};

// The layout at load for a screen of `screenWidth` x `screenHeight` twips:
// the design places, adjusted step by step so the pane keeps its margins
// and the button columns follow the edges of the backdrop band.
MainLayout LayoutForScreen(double screenWidth, double screenHeight);

// The layout for a window of `width` x `height` twips whose canvas (below
// the menu bar) is `canvasHeight` high: the layout for a screen of the
// window's size, so a window filling the screen looks as it always did.
// Where the canvas is too short for the button columns' design heights,
// the three buttons of each column spread evenly down the band below the
// title panel, and shrink only when even that leaves no room.
MainLayout LayoutForWindow(double width, double height, double canvasHeight);
