#include "ui/widgets/clickable_label.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

void VerticalCaption::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont font = this->font();
    // One em a line: CJK faces carry generous line gaps of their own. The
    // first three characters always show whole: where the caption is too
    // short for them at its size, the font shrinks to fit; what follows is
    // cut off at the bottom like any label.
    double line = font.pointSizeF() * logicalDpiY() / 72.0;
    const auto wanted = static_cast<double>(std::min<qsizetype>(text().size(), kWholeCharacters));
    if (wanted * line > height() || line > width()) {
        line = std::min(height() / std::max(wanted, 1.0), static_cast<double>(width()));
        font.setPointSizeF(std::max(1.0, line * 72.0 / logicalDpiY()));
    }
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    double top = 0;
    for (const QChar c : text()) {
        if (top + line > height() + 0.5)
            break;
        painter.drawText(QRectF(0, top, width(), line), Qt::AlignHCenter | Qt::AlignVCenter, QString(c));
        top += line;
    }
}
