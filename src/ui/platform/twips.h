#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window geometry is kept in twips (1/1440 inch), converted to pixels in one
// place: 1440 / logical DPI twips a pixel, 15 at 96 dpi.
double TwipsPerPixel();
int TwipsToPixels(double twips);
double PixelsToTwips(double pixels);
QRect TwipsRect(double left, double top, double width, double height);

// The size of the whole primary screen in twips.
QSizeF ScreenSizeInTwips();
