#include "ui/main_window/splash_window.h"

#include "ui/platform/twips.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
    , picture_(QStringLiteral(":/splash.png"))
{
    setObjectName(QStringLiteral("splashWindow"));
    setFixedSize(TwipsToPixels(5010), TwipsToPixels(2115));
}

void SplashWindow::ShowSplash()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    raise();
}

void SplashWindow::CloseSplash()
{
    hide();
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!picture_.isNull())
        painter.drawImage(rect(), picture_);
}
