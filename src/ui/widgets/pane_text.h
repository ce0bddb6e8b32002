#pragma once

#include "ui/widgets/chunked_starts.h"

#include <QDeadlineTimer>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

// A stretch of the pane's text laid out on its own: a whole line, or a piece
// of a line too long to lay out at once. `end` is where the line break or
// the next piece begins.
struct PaneSegment {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype line = 0;  // the line it belongs to
    qsizetype Length() const { return end - start; }
    bool operator==(const PaneSegment&) const = default;
};

// The text of the reading pane as the reader counts it (CR LF is two
// characters) with an index of its lines, so that any offset finds its line
// and its piece at once however large the chapter. A line ends at CR LF, CR
// or LF. The text is shared with whoever handed it over, not copied.
//
// A chapter of millions of lines takes seconds to index, so the index is
// built a slice at a time: until it is complete, the text counts as ending
// where the search for line ends has come (Length()), and IndexMore or
// Reach take it further.
class PaneText {
public:
    // Lines longer than this are laid out in pieces of about this length:
    // the text layout breaks a line without break points in quadratic time,
    // and loads a glyph for every character of what it lays out, which on
    // the first page of a book in one line is most of the time it shows.
    static constexpr qsizetype kPieceLength = 2048;
    // A piece ends at a sentence end or a space in the last stretch of this
    // length before its nominal end, so the forced line break looks natural.
    static constexpr qsizetype kPieceSlack = 512;

    PaneText();

    // Time a change spends indexing before it returns; the rest is left
    // for IndexMore.
    static constexpr int kSliceMilliseconds = 10;
    // The same for new text, shorter: laying out and painting its first page
    // follow in the same turn of the event loop.
    static constexpr int kFirstSliceMilliseconds = 3;

    // The whole text, indexed or not.
    const QString& Text() const { return text_; }
    // The length of the text indexed so far: all of it once Complete().
    qsizetype Length() const { return complete_ ? text_.size() : std::max(LineStart(LineCount() - 1), scannedTo_); }
    bool Complete() const { return complete_; }
    // Indexes on until the deadline; returns Complete().
    bool IndexMore(QDeadlineTimer deadline);
    // Indexes at least up to `offset` (of the whole text), however long it takes.
    void Reach(qsizetype offset);
    // The same characters in the same storage: setting it again changes nothing.
    bool Holds(const QString& text) const;

    // Indexes the new text until `slice` runs out.
    void SetText(const QString& text, QDeadlineTimer slice = QDeadlineTimer(kFirstSliceMilliseconds));
    void Append(const QString& text);
    // Replaces the characters from..to (reader offsets) with `with`.
    void Replace(qsizetype from, qsizetype to, const QString& with);

    qsizetype LineCount() const { return startLows_.size(); }
    qsizetype LineOf(qsizetype offset) const;
    qsizetype LineStart(qsizetype line) const;
    // Where the line's break begins, or the end of the text.
    qsizetype LineEnd(qsizetype line) const;

    // Within the text and never between the CR and the LF of a line break
    // (such an offset stands before the break).
    qsizetype Snapped(qsizetype offset) const;

    PaneSegment SegmentAt(qsizetype offset) const;
    std::optional<PaneSegment> NextSegment(const PaneSegment& segment) const;
    std::optional<PaneSegment> PreviousSegment(const PaneSegment& segment) const;

    // Offsets as a text box counts them, with every line break one position.
    qsizetype WidgetPosition(qsizetype offset) const;
    qsizetype ReaderOffset(qsizetype position) const;
    // The characters from..to with every line break as one LF, as copied.
    QString WithSingleBreaks(qsizetype from, qsizetype to) const;

private:
    static constexpr qsizetype kCheckpointLines = 64;

    void IndexFrom(qsizetype line, QDeadlineTimer slice = QDeadlineTimer(kSliceMilliseconds));
    void Scan(qsizetype until, QDeadlineTimer deadline);
    void AddLineStart(qsizetype start);
    qsizetype BreakLength(qsizetype line) const;
    qsizetype PieceBoundary(qsizetype lineStart, qsizetype nominal) const;
    qsizetype CrLfBefore(qsizetype line) const;
    qsizetype WidgetLineStart(qsizetype line) const { return LineStart(line) - CrLfBefore(line); }

    QString text_;
    // Where each line begins: the low 32 bits, and for every 2^32 characters
    // the starts have passed the line where that happened (in practice none).
    ChunkedStarts startLows_;
    std::vector<qsizetype> highSteps_;
    // Line breaks written CR LF before every kCheckpointLines-th line.
    std::vector<qsizetype> crLfCheckpoints_;
    // Line breaks written CR LF before the last line indexed.
    qsizetype crLfSoFar_ = 0;
    // How far the last line indexed has been searched for its end.
    qsizetype scannedTo_ = 0;
    bool complete_ = false;
};
