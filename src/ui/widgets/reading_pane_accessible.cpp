#include "ui/widgets/reading_pane_accessible.h"

#include "ui/widgets/reading_pane.h"

#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>
#include <utility>

namespace {

PaneEventSink eventSink = &QAccessible::updateAccessibility;

// Accessible offsets are ints; a chapter longer than that is read up to there.
int ToInt(qsizetype value)
{
    return static_cast<int>(std::clamp<qsizetype>(value, INT_MIN, INT_MAX));
}

bool IsBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// An offset between the CR and the LF of a line break stands before the
// break, as the pane's caret does.
qsizetype Snapped(const QString& text, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    if (offset > 0 && offset < text.size() && text[offset] == u'\n' && text[offset - 1] == u'\r')
        return offset - 1;
    return offset;
}

// The line of the text (the reader's paragraph) holding `offset`, with its
// line break. Found in the string itself, so it needs no index.
std::pair<qsizetype, qsizetype> ParagraphAt(const QString& text, qsizetype offset)
{
    qsizetype start = offset;
    while (start > 0 && !IsBreak(text[start - 1]))
        --start;
    qsizetype end = offset;
    while (end < text.size() && !IsBreak(text[end]))
        ++end;
    if (end < text.size())
        end += (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1;
    return {start, end};
}

// Characters, words and sentences never run over a line break, so only the
// paragraph is handed to the boundary finder, however long the chapter.
std::pair<qsizetype, qsizetype> PieceAt(const QString& text, qsizetype offset, QTextBoundaryFinder::BoundaryType type)
{
    const auto [start, end] = ParagraphAt(text, offset);
    QTextBoundaryFinder finder(type, text.mid(start, end - start));
    const auto local = offset - start;
    finder.setPosition(local);
    const qsizetype from = finder.isAtBoundary() ? local : std::max<qsizetype>(finder.toPreviousBoundary(), 0);
    finder.setPosition(local);
    const qsizetype next = finder.toNextBoundary();
    return {start + from, start + (next < 0 ? end - start : next)};
}

}  // namespace

// The pane as a read-only text box; a friend of the pane, reading its
// caret and layout as its painting does.
class ReadingPaneAccessible : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface {
public:
    explicit ReadingPaneAccessible(ReadingPane* pane) : QAccessibleWidget(pane, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.editable = false;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    // ---- Selection and caret ----

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && Pane()->SelLength() > 0) {
            *startOffset = ToInt(Pane()->SelStart());
            *endOffset = ToInt(Pane()->SelStart() + Pane()->SelLength());
        }
    }
    int selectionCount() const override { return Pane()->SelLength() > 0 ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            Pane()->SetSelStart(Pane()->position_);
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0)
            return;
        Pane()->SetSelStart(std::min(startOffset, endOffset));
        Pane()->SetSelLength(std::abs(endOffset - startOffset));
    }
    int cursorPosition() const override { return ToInt(Pane()->position_); }
    void setCursorPosition(int position) override { Pane()->SetSelStart(position); }

    // ---- Text ----

    // Both text() calls: the object's name and so on, and the pane's characters.
    using QAccessibleWidget::text;
    int characterCount() const override { return ToInt(Text().size()); }
    QString text(int startOffset, int endOffset) const override
    {
        const qsizetype start = std::clamp<qsizetype>(startOffset, 0, Text().size());
        const qsizetype end = std::clamp<qsizetype>(endOffset, start, Text().size());
        return Text().mid(start, end - start);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                         int* endOffset) const override
    {
        return Give(UnitAt(offset, type), startOffset, endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                             int* endOffset) const override
    {
        const qsizetype start = UnitAt(offset, type).first;
        return Give(start > 0 ? UnitAt(start - 1, type) : Empty(), startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                            int* endOffset) const override
    {
        const qsizetype end = UnitAt(offset, type).second;
        return Give(end < Text().size() ? UnitAt(end, type) : Empty(), startOffset, endOffset);
    }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        // One look over the whole text: no attributes of its own.
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // ---- Geometry, from the pane's own layout ----

    QRect characterRect(int offset) const override
    {
        ReadingPane* pane = Pane();
        const qsizetype at = Snapped(Text(), offset);
        pane->Reach(at);
        const VisualLine line = pane->lines_.At(at);
        const std::optional<qreal> y = pane->lines_.YInView(pane->top_, line, pane->ViewHeight());
        if (!y)
            return {};  // not on screen
        const qreal x = line.XOf(at);
        const qreal next = at < line.End() ? line.XOf(at + 1) : x + QFontMetricsF(pane->font()).averageCharWidth();
        const QRectF local(std::min(x, next), *y, std::abs(next - x), line.Height());
        return {pane->viewport()->mapToGlobal(local.topLeft().toPoint()), local.size().toSize()};
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const ReadingPane* pane = Pane();
        const QPoint local = pane->viewport()->mapFromGlobal(point);
        if (!pane->viewport()->rect().contains(local))
            return -1;
        return ToInt(pane->lines_.OffsetAt(pane->top_, local));
    }
    void scrollToSubstring(int startIndex, int) override
    {
        if (characterRect(startIndex).isEmpty())
            Pane()->CenterOnOffset(startIndex);
    }

    // ---- Editing: none ----
    // The pane shows a book: assistive technology reads it, selects and moves
    // the caret, but does not change the text, as the keyboard does not.
    void deleteText(int, int) override {}
    void insertText(int, const QString&) override {}
    void replaceText(int, int, const QString&) override {}

private:
    ReadingPane* Pane() const { return static_cast<ReadingPane*>(widget()); }
    const QString& Text() const { return Pane()->Text(); }
    std::pair<qsizetype, qsizetype> Empty() const { return {-1, -1}; }

    static QString GiveText(const QString& text, std::pair<qsizetype, qsizetype> unit)
    {
        return unit.first < 0 ? QString() : text.mid(unit.first, unit.second - unit.first);
    }
    QString Give(std::pair<qsizetype, qsizetype> unit, int* startOffset, int* endOffset) const
    {
        *startOffset = ToInt(unit.first);
        *endOffset = ToInt(unit.second);
        return GiveText(Text(), unit);
    }

    // The character, word, sentence, line on screen or paragraph at `offset`.
    std::pair<qsizetype, qsizetype> UnitAt(qsizetype offset, QAccessible::TextBoundaryType type) const
    {
        const QString& text = Text();
        if (offset < 0 || offset > text.size())
            return Empty();
        offset = Snapped(text, offset);
        switch (type) {
        case QAccessible::NoBoundary: return {0, text.size()};
        case QAccessible::ParagraphBoundary: return ParagraphAt(text, offset);
        case QAccessible::LineBoundary: return LineAt(offset);
        default: break;
        }
        if (offset == text.size())
            return {offset, offset};
        switch (type) {
        case QAccessible::WordBoundary: return PieceAt(text, offset, QTextBoundaryFinder::Word);
        case QAccessible::SentenceBoundary: return PieceAt(text, offset, QTextBoundaryFinder::Sentence);
        default: return PieceAt(text, offset, QTextBoundaryFinder::Grapheme);
        }
    }

    // A line as the pane shows it, with what ends it: the line break, or the
    // space where the line wraps.
    std::pair<qsizetype, qsizetype> LineAt(qsizetype offset) const
    {
        ReadingPane* pane = Pane();
        pane->Reach(std::min(offset + 1, Text().size()));
        const VisualLine line = pane->lines_.At(offset);
        if (const std::optional<VisualLine> next = pane->lines_.Next(line))
            return {line.Start(), next->Start()};
        return {line.Start(), ParagraphAt(Text(), offset).second};
    }
};

QAccessibleInterface* MakeReadingPaneAccessible(QObject* pane)
{
    auto* readingPane = qobject_cast<ReadingPane*>(pane);
    return readingPane ? new ReadingPaneAccessible(readingPane) : nullptr;
}

void ReportPaneCaret(QObject* pane, qsizetype anchor, qsizetype position, bool selectionChanged)
{
    if (selectionChanged) {
        QAccessibleTextSelectionEvent selection(pane, ToInt(std::min(anchor, position)),
                                                ToInt(std::max(anchor, position)));
        selection.setCursorPosition(ToInt(position));
        eventSink(&selection);
    }
    QAccessibleTextCursorEvent caret(pane, ToInt(position));
    eventSink(&caret);
}

void ReportPaneText(QObject* pane, qsizetype position, const QString& removed, const QString& inserted)
{
    QAccessibleTextUpdateEvent update(pane, ToInt(position), removed, inserted);
    eventSink(&update);
}

PaneEventSink SetPaneEventSink(PaneEventSink sink)
{
    return std::exchange(eventSink, sink);
}
