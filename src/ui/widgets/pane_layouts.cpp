#include "ui/widgets/pane_layouts.h"

#include <QFontMetricsF>
#include <QTextOption>
#include <QtMath>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool IsLeadingSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00a0';
}

// How far the first line of this piece moves right so that its text begins
// `indent` ems in, whatever spaces the book itself put before it; 0 for a
// piece that does not begin a paragraph, and for a blank line.
qreal IndentShift(const QString& text, const PaneSegment& segment, qreal indent, const QFontMetricsF& metrics)
{
    if (indent < 0)
        return 0;
    const qsizetype start = segment.start;
    if (start > 0 && text[start - 1] != u'\n' && text[start - 1] != u'\r')
        return 0;
    qsizetype spaces = 0;
    while (start + spaces < segment.end && IsLeadingSpace(text[start + spaces]))
        ++spaces;
    const qsizetype textEnd = start + spaces;
    if (textEnd == segment.end || text[textEnd] == u'\n' || text[textEnd] == u'\r')
        return 0;
    return indent * metrics.horizontalAdvance(u'中') - metrics.horizontalAdvance(text.mid(start, spaces));
}

}  // namespace

void PaneLayouts::SetGeometry(const QFont& font, const QPaintDevice* device, qreal width)
{
    font_ = font;
    device_ = device;
    width_ = width;
    Clear();
}

void PaneLayouts::SetTypography(const PaneTypography& typography)
{
    typography_ = typography;
    Clear();
}

void PaneLayouts::Clear()
{
    recent_.clear();
    byStart_.clear();
    characters_ = 0;
}

std::shared_ptr<const LaidSegment> PaneLayouts::Get(const PaneText& text, const PaneSegment& segment)
{
    if (const auto found = byStart_.find(segment.start); found != byStart_.end()) {
        if ((*found->second)->segment == segment) {
            recent_.splice(recent_.begin(), recent_, found->second);
            return recent_.front();
        }
        characters_ -= (*found->second)->segment.Length();
        recent_.erase(found->second);
        byStart_.erase(found);
    }

    auto laid =
        std::make_shared<LaidSegment>(segment, text.Text().mid(segment.start, segment.Length()), font_, device_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (typography_.justified)
        option.setAlignment(Qt::AlignJustify);
    laid->layout.setTextOption(option);
    laid->layout.setCacheEnabled(true);
    // As a plain text box lays out a paragraph: leading included, the
    // margin on both sides; then the reader's spacing and text column.
    const qreal margin = std::max(typography_.sideMargin, kMargin);
    qreal lineWidth = (width_ > 0 ? width_ : qreal(INT_MAX)) - 2 * margin;
    const QFontMetricsF metrics(font_, device_);
    const qreal em = metrics.horizontalAdvance(u'中');
    if (typography_.lineCharacters > 0)
        lineWidth = std::min(lineWidth, em * typography_.lineCharacters);
    const qreal left = width_ > 0 ? std::max(margin, (width_ - lineWidth) / 2) : margin;
    const qreal spacing = typography_.lineSpacingPercent / 100.0;
    // The first line's own leading spaces stay in the text (offsets into it
    // are the book's) but are moved out left, into the margin if need be.
    qreal shift = IndentShift(text.Text(), segment, typography_.firstLineIndent, metrics);
    qreal y = 0;
    laid->layout.beginLayout();
    for (QTextLine line = laid->layout.createLine(); line.isValid(); line = laid->layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(lineWidth - shift);
        line.setPosition(QPointF(left + shift, y));
        shift = 0;
        y += line.height() * spacing;
        if (line.leading() < 0)
            y += qCeil(line.leading());
    }
    laid->layout.endLayout();
    if (segment.end < text.Text().size())  // a paragraph that ends here, not the text's last piece
        y += em * typography_.paragraphSpacing;
    laid->height = spacing == 1 ? y : std::ceil(y);
    laidOut_ += segment.Length();

    recent_.push_front(std::move(laid));
    byStart_[segment.start] = recent_.begin();
    characters_ += segment.Length();
    while (recent_.size() > 1 && (characters_ > kCharacterBudget || recent_.size() > kLayoutBudget)) {
        characters_ -= recent_.back()->segment.Length();
        byStart_.erase(recent_.back()->segment.start);
        recent_.pop_back();
    }
    return recent_.front();
}
