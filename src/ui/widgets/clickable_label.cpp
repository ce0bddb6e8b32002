#include "ui/widgets/clickable_label.h"

#include <QFontMetricsF>
#include <QPainter>

void VerticalCaption::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(font(), this);
    // One em a line: CJK faces carry generous line gaps of their own.
    const double line = font().pointSizeF() * logicalDpiY() / 72.0;
    double top = 0;
    for (const QChar c : text()) {
        const QRectF cell(0, top, width(), line);
        painter.drawText(cell, Qt::AlignHCenter | Qt::AlignVCenter, QString(c));
        top += line;
        if (top >= height())
            break;
    }
}
