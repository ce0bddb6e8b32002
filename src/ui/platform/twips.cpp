#include "ui/platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

double TwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int TwipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel()));
}

double PixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel();
}

QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QSizeF ScreenSizeInTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize pixels = screen ? screen->size() : QSize(1024, 768);
    return QSizeF(PixelsToTwips(pixels.width()), PixelsToTwips(pixels.height()));
}
