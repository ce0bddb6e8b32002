#include "ui/main/form2.h"

#include "platform/twips.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
    , picture_(QStringLiteral(":/splash.png"))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setFixedSize(TwipsToPixels(5010), TwipsToPixels(2115));
}

void Form2::ShowSplash()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    raise();
}

void Form2::CloseSplash()
{
    hide();
}

void Form2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!picture_.isNull())
        painter.drawImage(rect(), picture_);
}
