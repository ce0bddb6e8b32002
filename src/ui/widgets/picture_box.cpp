#include "ui/widgets/picture_box.h"

#include "ui/platform/twips.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Repaint();
}

void PictureBox::SetBackColor(const QColor& colour)
{
    backColor_ = colour;
    Repaint();
}

void PictureBox::SetPicture(const QImage& picture)
{
    picture_ = picture;
    Repaint();
}

// Back colour and picture only: everything printed before is gone.
void PictureBox::Repaint()
{
    // At the screen's own pixels, so texts stay sharp on a HiDPI screen.
    const qreal ratio = devicePixelRatioF();
    QImage image(size().expandedTo(QSize(1, 1)) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(backColor_);
    if (!picture_.isNull()) {
        QPainter painter(&image);
        painter.drawImage(0, 0, picture_);
    }
    image_ = image;
    update();
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    // Keep what was drawn where it still fits; the new area gets the
    // background.
    const QImage old = image_;
    Repaint();
    QPainter painter(&image_);
    painter.drawImage(0, 0, old);
}

void PictureBox::Print(const QString& text)
{
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font_);
    painter.setPen(foreColor_);
    const QFontMetricsF metrics(font_, &image_);
    const QPointF topLeft(CurrentX / TwipsPerPixel(), CurrentY / TwipsPerPixel());
    painter.drawText(topLeft + QPointF(0, metrics.ascent()), text);
    CurrentX = 0;
    CurrentY += PixelsToTwips(metrics.height());
    update();
}

double PictureBox::TextWidth(const QString& text) const
{
    return PixelsToTwips(QFontMetricsF(font_, &image_).horizontalAdvance(text));
}

QString PictureBox::Fitted(const QString& text, double width, double leastPoints)
{
    while (TextWidth(text) > width && font_.pointSizeF() > leastPoints)
        font_.setPointSizeF(std::max(leastPoints, font_.pointSizeF() - 1));
    if (TextWidth(text) <= width)
        return text;
    QString cut = text;
    while (!cut.isEmpty() && TextWidth(cut + u'…') > width)
        cut.chop(cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1);
    return cut + u'…';
}

double PictureBox::TextHeight() const
{
    return PixelsToTwips(QFontMetricsF(font_, &image_).height());
}

double PictureBox::ScaleWidth() const
{
    return PixelsToTwips(width());
}

double PictureBox::ScaleHeight() const
{
    return PixelsToTwips(height());
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}
