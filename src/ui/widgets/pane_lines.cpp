#include "ui/widgets/pane_lines.h"

#include <QTextBoundaryFinder>

#include <algorithm>

qreal VisualLine::Height() const
{
    const qreal bottom = IsLastOfSegment() ? laid->height : laid->layout.lineAt(index + 1).y();
    return bottom - Top();
}

VisualLine PaneLines::At(qsizetype offset) const
{
    offset = text_.Snapped(offset);
    VisualLine line{layouts_.Get(text_, text_.SegmentAt(offset)), 0};
    const QTextLine found = line.laid->layout.lineForTextPosition(static_cast<int>(offset - line.laid->segment.start));
    line.index = found.isValid() ? found.lineNumber() : line.laid->layout.lineCount() - 1;
    return line;
}

std::optional<VisualLine> PaneLines::Next(const VisualLine& line) const
{
    if (!line.IsLastOfSegment())
        return VisualLine{line.laid, line.index + 1};
    const std::optional<PaneSegment> next = text_.NextSegment(line.laid->segment);
    if (!next)
        return std::nullopt;
    return VisualLine{layouts_.Get(text_, *next), 0};
}

std::optional<VisualLine> PaneLines::Previous(const VisualLine& line) const
{
    if (line.index > 0)
        return VisualLine{line.laid, line.index - 1};
    const std::optional<PaneSegment> previous = text_.PreviousSegment(line.laid->segment);
    if (!previous)
        return std::nullopt;
    VisualLine last{layouts_.Get(text_, *previous), 0};
    last.index = last.laid->layout.lineCount() - 1;
    return last;
}

qsizetype PaneLines::LastTop(qreal viewHeight) const
{
    // As a text box does: the last page is full, above a margin at the bottom.
    const qreal room = viewHeight - PaneLayouts::kMargin - 1;
    VisualLine line = At(text_.Length());
    qreal used = line.Height();
    for (;;) {
        const std::optional<VisualLine> previous = Previous(line);
        if (!previous)
            return 0;
        if (used + previous->Height() > room)
            return line.Start();
        used += previous->Height();
        line = *previous;
    }
}

qsizetype PaneLines::CharactersShown(qsizetype top, qreal viewHeight) const
{
    VisualLine line = At(top);
    qreal y = FirstLineY(top);
    for (;;) {
        if (y + line.Height() > viewHeight)
            return line.Start() - top;
        y += line.Height();
        const std::optional<VisualLine> next = Next(line);
        if (!next)
            return text_.Length() - top;
        line = *next;
    }
}

qsizetype PaneLines::Scrolled(qsizetype top, qsizetype count) const
{
    VisualLine line = At(top);
    for (; count > 0; --count) {
        const std::optional<VisualLine> next = Next(line);
        if (!next)
            break;
        line = *next;
    }
    for (; count < 0; ++count) {
        const std::optional<VisualLine> previous = Previous(line);
        if (!previous)
            break;
        line = *previous;
    }
    return line.Start();
}

qsizetype PaneLines::PageBelow(qsizetype top, qreal viewHeight) const
{
    VisualLine line = At(top);
    qreal y = FirstLineY(top);
    for (;;) {
        const std::optional<VisualLine> next = Next(line);
        if (!next)
            return line.Start();
        if (y + line.Height() > viewHeight)
            return line.Start() == top ? next->Start() : line.Start();
        y += line.Height();
        line = *next;
    }
}

qsizetype PaneLines::PageAbove(qsizetype top, qreal viewHeight) const
{
    VisualLine line = At(top);
    qreal used = 0;
    bool moved = false;
    for (;;) {
        const std::optional<VisualLine> previous = Previous(line);
        if (!previous || (moved && used + previous->Height() > viewHeight))
            return line.Start();
        used += previous->Height();
        line = *previous;
        moved = true;
    }
}

qsizetype PaneLines::TopShowingAtBottom(const VisualLine& line, qreal viewHeight) const
{
    VisualLine top = line;
    qreal used = line.Height();
    for (;;) {
        const std::optional<VisualLine> previous = Previous(top);
        if (!previous)
            return top.Start();
        const qreal above = previous->Start() == 0 ? PaneLayouts::kMargin : 0;
        if (above + used + previous->Height() > viewHeight)
            return top.Start();
        used += previous->Height();
        top = *previous;
    }
}

std::optional<qreal> PaneLines::YInView(qsizetype top, const VisualLine& line, qreal viewHeight) const
{
    if (line.Start() < top)
        return std::nullopt;
    VisualLine shown = At(top);
    qreal y = FirstLineY(top);
    while (y < viewHeight) {
        if (shown.Start() == line.Start())
            return y;
        y += shown.Height();
        const std::optional<VisualLine> next = Next(shown);
        if (!next)
            break;
        shown = *next;
    }
    return std::nullopt;
}

VisualLine PaneLines::LineAtY(qsizetype top, qreal y) const
{
    VisualLine line = At(top);
    qreal lineY = FirstLineY(top);
    while (y < lineY) {
        const std::optional<VisualLine> previous = Previous(line);
        if (!previous)
            return line;
        line = *previous;
        lineY -= line.Height();
    }
    while (y >= lineY + line.Height()) {
        const std::optional<VisualLine> next = Next(line);
        if (!next)
            return line;
        lineY += line.Height();
        line = *next;
    }
    return line;
}

qsizetype PaneLines::OffsetAt(qsizetype top, const QPointF& point) const
{
    return LineAtY(top, point.y()).OffsetAtX(point.x());
}

qsizetype PaneLines::NextPosition(qsizetype offset, bool word) const
{
    const qsizetype line = text_.LineOf(offset);
    if (offset >= text_.LineEnd(line))
        return line + 1 < text_.LineCount() ? text_.LineStart(line + 1) : offset;
    const VisualLine shown = At(offset);
    const qsizetype start = shown.laid->segment.start;
    const auto mode = word ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    return start + shown.laid->layout.nextCursorPosition(static_cast<int>(offset - start), mode);
}

qsizetype PaneLines::PreviousPosition(qsizetype offset, bool word) const
{
    const qsizetype line = text_.LineOf(offset);
    if (offset <= text_.LineStart(line))
        return line > 0 ? text_.LineEnd(line - 1) : offset;
    // The piece holding the character before the offset.
    const VisualLine shown = At(offset - 1);
    const qsizetype start = shown.laid->segment.start;
    const auto mode = word ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    return start + shown.laid->layout.previousCursorPosition(static_cast<int>(offset - start), mode);
}

qsizetype PaneLines::EndOfLine(qsizetype offset) const
{
    const VisualLine line = At(offset);
    qsizetype end = line.End();
    const PaneSegment& segment = line.laid->segment;
    const bool endsTextLine = line.IsLastOfSegment() && segment.end == text_.LineEnd(segment.line);
    if (!endsTextLine && end > line.Start() && text_.Text()[end - 1].isSpace())
        --end;
    return end;
}

std::pair<qsizetype, qsizetype> PaneLines::WordAt(qsizetype offset) const
{
    const PaneSegment segment = text_.SegmentAt(offset);
    const QString piece = text_.Text().mid(segment.start, segment.Length());
    const qsizetype local = text_.Snapped(offset) - segment.start;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, piece);
    finder.setPosition(local);
    const qsizetype start = finder.isAtBoundary() ? local : std::max<qsizetype>(0, finder.toPreviousBoundary());
    finder.setPosition(local);
    const qsizetype end = finder.toNextBoundary();
    return {segment.start + start, segment.start + (end < 0 ? piece.size() : end)};
}
