#include "ui/widgets/pane_text.h"

#include <algorithm>

namespace {

// A piece of a long line preferably ends after one of these, where a
// paragraph could end too.
bool EndsPiece(QChar c)
{
    static const QString kSentenceEnds = QStringLiteral("。！？；…”」』.!?;");
    return c.isSpace() || kSentenceEnds.contains(c);
}

// The next CR or LF at or after `from`, or `size`. Stretches without any
// control character are passed over a block at a time, in a loop the
// compiler turns into vector instructions: a 100 MB line is indexed at once.
qsizetype NextBreak(const QChar* text, qsizetype from, qsizetype size)
{
    // Most lines are short: look at their first characters one by one.
    constexpr qsizetype kNear = 16;
    for (const qsizetype near = std::min(size, from + kNear); from < near; ++from) {
        if (text[from] == u'\r' || text[from] == u'\n')
            return from;
    }
    constexpr qsizetype kBlock = 32;
    for (qsizetype i = from; i < size;) {
        if (i + kBlock <= size) {
            unsigned controls = 0;
            for (qsizetype k = 0; k < kBlock; ++k)
                controls |= static_cast<unsigned>(text[i + k].unicode() <= u'\r');
            if (controls == 0) {
                i += kBlock;
                continue;
            }
        }
        for (const qsizetype end = std::min(size, i + kBlock); i < end; ++i) {
            if (text[i] == u'\r' || text[i] == u'\n')
                return i;
        }
    }
    return size;
}

}  // namespace

PaneText::PaneText()
{
    IndexFrom(0);
}

bool PaneText::Holds(const QString& text) const
{
    // The pane holds a reference to its storage, so nobody else can change
    // those characters in place: same storage and size means same text.
    return text.constData() == text_.constData() && text.size() == text_.size();
}

void PaneText::SetText(const QString& text, QDeadlineTimer slice)
{
    text_ = text;
    startLows_ = ChunkedStarts();
    crLfCheckpoints_ = std::vector<qsizetype>();
    highSteps_.clear();
    IndexFrom(0, slice);
}

void PaneText::Append(const QString& text)
{
    text_.append(text);
    // A CR at the old end and an LF at the start of the new text make one
    // break: index again from the line before the last. An index under way
    // simply goes on into the new text.
    if (complete_)
        IndexFrom(std::max<qsizetype>(0, LineCount() - 2));
}

void PaneText::Replace(qsizetype from, qsizetype to, const QString& with)
{
    from = Snapped(from);
    to = std::max(from, Snapped(to));
    const qsizetype indexed = Length();
    const qsizetype line = std::max<qsizetype>(0, LineOf(from) - 1);
    text_.replace(from, to - from, with);
    IndexFrom(line);
    // What was indexed before stays indexed: the view and the caret may
    // stand anywhere in it.
    Reach(indexed - (to - from) + with.size());
}

bool PaneText::IndexMore(QDeadlineTimer deadline)
{
    if (!complete_)
        Scan(text_.size(), deadline);
    return complete_;
}

void PaneText::Reach(qsizetype offset)
{
    if (!complete_ && offset >= Length())
        Scan(offset, QDeadlineTimer::Forever);
}

inline void PaneText::AddLineStart(qsizetype start)
{
    // Starts pass another 2^32 characters only in texts of gigabytes.
    for (auto high = static_cast<qsizetype>(highSteps_.size()); high < (start >> 32); ++high)
        [[unlikely]] highSteps_.push_back(LineCount());
    startLows_.push_back(static_cast<quint32>(start));
}

// Lines up to `line` stay as they are; the rest is indexed again from the
// checkpoint at or before it, for a slice of time.
void PaneText::IndexFrom(qsizetype line, QDeadlineTimer slice)
{
    if (startLows_.empty()) {
        AddLineStart(0);
        crLfCheckpoints_.push_back(0);
    }
    const qsizetype first = std::min(line, LineCount() - 1) / kCheckpointLines * kCheckpointLines;
    startLows_.truncate(first + 1);
    while (!highSteps_.empty() && highSteps_.back() > first)
        highSteps_.pop_back();
    crLfCheckpoints_.resize(static_cast<size_t>(first / kCheckpointLines + 1));
    crLfSoFar_ = crLfCheckpoints_.back();
    scannedTo_ = 0;
    complete_ = false;
    Scan(text_.size(), slice);
}

// Indexes lines after the last one indexed until a line starts past
// `until`, the deadline passes or the text ends. The text is searched a
// stretch at a time, so even one line of a gigabyte gives way in time.
void PaneText::Scan(qsizetype until, QDeadlineTimer deadline)
{
    // The clock is read every so many lines or characters, not at each line.
    constexpr qsizetype kLinesBetweenLooks = 4096;
    constexpr qsizetype kCharactersBetweenLooks = 1 << 20;
    const QChar* text = text_.constData();
    const qsizetype size = text_.size();
    qsizetype i = std::max(scannedTo_, LineStart(LineCount() - 1));
    qsizetype nextLook = i + kCharactersBetweenLooks;
    for (;;) {
        i = NextBreak(text, i, std::min(size, nextLook));
        if (i == size)
            break;
        if (i < nextLook) {
            const bool pair = text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n';
            crLfSoFar_ += pair ? 1 : 0;
            i += pair ? 2 : 1;
            if (LineCount() % kCheckpointLines == 0)
                crLfCheckpoints_.push_back(crLfSoFar_);
            AddLineStart(i);
            if (i == size)
                break;  // the text ends with a line break
            if (i > until)
                return;
            if (LineCount() % kLinesBetweenLooks != 0 && i < nextLook)
                continue;
        }
        scannedTo_ = i;
        nextLook = i + kCharactersBetweenLooks;
        if (i > until || deadline.hasExpired())
            return;
    }
    complete_ = true;
}

qsizetype PaneText::LineStart(qsizetype line) const
{
    const auto high = std::upper_bound(highSteps_.begin(), highSteps_.end(), line) - highSteps_.begin();
    return (static_cast<qsizetype>(high) << 32) | startLows_[line];
}

qsizetype PaneText::LineOf(qsizetype offset) const
{
    offset = std::clamp<qsizetype>(offset, 0, Length());
    if (highSteps_.empty()) {
        return startLows_.UpperBound(static_cast<quint32>(offset)) - 1;
    }
    qsizetype low = 0;
    qsizetype high = LineCount() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (LineStart(middle) <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

qsizetype PaneText::BreakLength(qsizetype line) const
{
    const qsizetype next = LineStart(line + 1);
    return (text_[next - 1] == u'\n' && next - 2 >= LineStart(line) && text_[next - 2] == u'\r') ? 2 : 1;
}

qsizetype PaneText::LineEnd(qsizetype line) const
{
    return line + 1 < LineCount() ? LineStart(line + 1) - BreakLength(line) : Length();
}

qsizetype PaneText::Snapped(qsizetype offset) const
{
    offset = std::clamp<qsizetype>(offset, 0, Length());
    if (offset > 0 && offset < Length() && text_[offset] == u'\n' && text_[offset - 1] == u'\r')
        --offset;
    return offset;
}

qsizetype PaneText::PieceBoundary(qsizetype lineStart, qsizetype nominal) const
{
    const qsizetype floor = std::max(lineStart + 1, nominal - kPieceSlack);
    for (qsizetype q = nominal; q > floor; --q) {
        if (EndsPiece(text_[q - 1]))
            return q;
    }
    // No natural place: break at the nominal one, but never inside a
    // surrogate pair or before a combining mark.
    qsizetype q = nominal;
    while (q > floor && (text_[q].isLowSurrogate() || text_[q].isMark()))
        --q;
    return q;
}

PaneSegment PaneText::SegmentAt(qsizetype offset) const
{
    const qsizetype line = LineOf(offset);
    const qsizetype start = LineStart(line);
    const qsizetype end = LineEnd(line);
    offset = std::clamp(offset, start, end);
    if (end - start <= kPieceLength)
        return {start, end, line};
    // Piece j nominally begins j * kPieceLength into the line; its real
    // start depends only on the text around there, so any piece is found
    // without laying out the ones before it.
    const auto boundary = [&](qsizetype j) {
        if (j <= 0)
            return start;
        const qsizetype nominal = start + j * kPieceLength;
        return nominal >= end ? end : PieceBoundary(start, nominal);
    };
    qsizetype j = (offset - start) / kPieceLength;
    while (j > 0 && offset < boundary(j))
        --j;
    while (boundary(j + 1) < end && offset >= boundary(j + 1))
        ++j;
    return {boundary(j), boundary(j + 1), line};
}

std::optional<PaneSegment> PaneText::NextSegment(const PaneSegment& segment) const
{
    if (segment.end < LineEnd(segment.line))
        return SegmentAt(segment.end);
    if (segment.line + 1 < LineCount())
        return SegmentAt(LineStart(segment.line + 1));
    return std::nullopt;
}

std::optional<PaneSegment> PaneText::PreviousSegment(const PaneSegment& segment) const
{
    if (segment.start > LineStart(segment.line))
        return SegmentAt(segment.start - 1);
    if (segment.line > 0)
        return SegmentAt(LineEnd(segment.line - 1));
    return std::nullopt;
}

qsizetype PaneText::CrLfBefore(qsizetype line) const
{
    const qsizetype checkpoint = line / kCheckpointLines;
    qsizetype count = crLfCheckpoints_[static_cast<size_t>(checkpoint)];
    for (qsizetype l = checkpoint * kCheckpointLines; l < line; ++l)
        count += BreakLength(l) - 1;
    return count;
}

qsizetype PaneText::WidgetPosition(qsizetype offset) const
{
    offset = std::clamp<qsizetype>(offset, 0, Length());
    const qsizetype line = LineOf(offset);
    return WidgetLineStart(line) + std::min(offset, LineEnd(line)) - LineStart(line);
}

qsizetype PaneText::ReaderOffset(qsizetype position) const
{
    position = std::max<qsizetype>(position, 0);
    // The last checkpoint line at or before the position, then line by line.
    qsizetype low = 0;
    qsizetype high = static_cast<qsizetype>(crLfCheckpoints_.size()) - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (LineStart(middle * kCheckpointLines) - crLfCheckpoints_[static_cast<size_t>(middle)] <= position)
            low = middle;
        else
            high = middle - 1;
    }
    qsizetype line = low * kCheckpointLines;
    qsizetype widgetStart = WidgetLineStart(line);
    while (line + 1 < LineCount()) {
        const qsizetype nextStart = widgetStart + LineEnd(line) - LineStart(line) + 1;
        if (nextStart > position)
            break;
        widgetStart = nextStart;
        ++line;
    }
    return std::min(LineStart(line) + position - widgetStart, LineEnd(line));
}

QString PaneText::WithSingleBreaks(qsizetype from, qsizetype to) const
{
    from = Snapped(from);
    to = std::max(from, Snapped(to));
    QString copied = text_.mid(from, to - from);
    copied.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    copied.replace(u'\r', u'\n');
    return copied;
}
