#pragma once

#include "ui/widgets/pane_layouts.h"
#include "ui/widgets/pane_text.h"

#include <QPointF>
#include <QTextLine>

#include <memory>
#include <optional>
#include <utility>

// One line on screen: a line of a laid-out piece of the text.
struct VisualLine {
    std::shared_ptr<const LaidSegment> laid;
    int index = 0;

    QTextLine Line() const { return laid->layout.lineAt(index); }
    // Reader offsets of its first character and of the end of its last.
    qsizetype Start() const { return laid->segment.start + Line().textStart(); }
    qsizetype End() const { return Start() + Line().textLength(); }
    // Its place within its piece and the room it takes, as a text box stacks lines.
    qreal Top() const { return Line().y(); }
    qreal Height() const;
    bool IsLastOfSegment() const { return index + 1 >= laid->layout.lineCount(); }
    // Where the caret at `offset` (on this line) stands, and the offset
    // nearest to a place on the line.
    qreal XOf(qsizetype offset) const { return Line().cursorToX(static_cast<int>(offset - laid->segment.start)); }
    qsizetype OffsetAtX(qreal x) const { return laid->segment.start + Line().xToCursor(x); }
};

// The pane's text as lines on screen, laid out only where they are looked
// at. A view is given by the start of its first line (`top`) and its height;
// the first line of the text keeps the text box's margin above it.
class PaneLines {
public:
    PaneLines(const PaneText& text, PaneLayouts& layouts) : text_(text), layouts_(layouts) {}

    // The line holding the offset (an offset where one line ends and the
    // next begins belongs to the next).
    VisualLine At(qsizetype offset) const;
    std::optional<VisualLine> Next(const VisualLine& line) const;
    std::optional<VisualLine> Previous(const VisualLine& line) const;

    // Where the first line is drawn in a view whose first line is `top`.
    static qreal FirstLineY(qsizetype top) { return top == 0 ? PaneLayouts::kMargin : 0; }

    // The last top the scroll bar reaches: the view is full down to the end.
    qsizetype LastTop(qreal viewHeight) const;
    // Characters from `top` to the first line not wholly in the view.
    qsizetype CharactersShown(qsizetype top, qreal viewHeight) const;
    // The top after scrolling `count` lines down (positive) or up.
    qsizetype Scrolled(qsizetype top, qsizetype count) const;
    // A page down: the first line not wholly shown comes to the top.
    qsizetype PageBelow(qsizetype top, qreal viewHeight) const;
    // A page up: the line now at the top ends up at the bottom.
    qsizetype PageAbove(qsizetype top, qreal viewHeight) const;
    // The top that shows `line` as the last whole line of the view.
    qsizetype TopShowingAtBottom(const VisualLine& line, qreal viewHeight) const;
    // Where `line` is drawn in the view, when it is wholly in it.
    std::optional<qreal> YInView(qsizetype top, const VisualLine& line, qreal viewHeight) const;
    // The line under a point of the view (the last line below the text,
    // lines above or below the view when the point is).
    VisualLine LineAtY(qsizetype top, qreal y) const;
    // The offset under a point of the view.
    qsizetype OffsetAt(qsizetype top, const QPointF& point) const;

    // Caret moves by a character (a whole line break at a line's end) or
    // by a word.
    qsizetype NextPosition(qsizetype offset, bool word) const;
    qsizetype PreviousPosition(qsizetype offset, bool word) const;
    // The end of the line on screen that holds the offset; where a line
    // wraps after a space the caret stays before that space, as in a text box.
    qsizetype EndOfLine(qsizetype offset) const;
    // The start and end of the word at the offset.
    std::pair<qsizetype, qsizetype> WordAt(qsizetype offset) const;

private:
    const PaneText& text_;
    PaneLayouts& layouts_;
};
