#pragma once

#include "ui/widgets/pane_layouts.h"
#include "ui/widgets/pane_lines.h"
#include "ui/widgets/pane_text.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointF>
#include <QString>

#include <optional>

class QMenu;

// The reading pane: a multi-line text box with a vertical scroll bar that
// shows a chapter of any size at once. Text, caret and selection are kept
// as the reader counts them, with CR LF as two characters (offsets,
// "exactly 2 characters", the caret saved in book.ini). Only the lines on
// screen are ever laid out, so setting a huge chapter, scrolling it and
// painting it cost about as much as a small one; the vertical scroll bar
// counts characters, so its thumb says how far into the text the view is.
class ReadingPane : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReadingPane(QWidget* parent = nullptr);

    const QString& Text() const { return text_.Text(); }
    // Sharing the string, not copying it. The same text again keeps the
    // index and the layouts, and only puts the caret and view at the top.
    void SetText(const QString& text);
    void AppendText(const QString& text);
    // The whole text's length, indexed or not.
    qsizetype Length() const { return text_.Text().size(); }
    // Whether the pane shows exactly this string, shared with its owner (a
    // chapter the reader put there, unedited since).
    bool Shows(const QString& text) const { return text_.Holds(text); }
    // The line holding `offset`, lines counted from 0 as LineActivated counts them.
    qsizetype LineOf(qsizetype offset) const { return text_.LineOf(offset); }

    // Caret and selection in the reader's offsets. An offset between the CR
    // and the LF of a line break stands before the break.
    qsizetype SelStart() const;
    void SetSelStart(qsizetype offset);
    qsizetype SelLength() const;
    void SetSelLength(qsizetype length);
    // The selected text as it is copied, every line break one LF.
    QString SelectedText() const;

    // Reader offsets against positions of a text box that counts every line
    // break as one position.
    qsizetype WidgetPosition(qsizetype offset) const { return text_.WidgetPosition(offset); }
    qsizetype ReaderOffset(qsizetype position) const { return text_.ReaderOffset(position); }

    // Reading by the screen: a page down brings the last line wholly shown
    // to the top, a page up the line at the top to the last whole line, so
    // one line always stays in view. False when the view was already at that end.
    bool PageDown();
    bool PageUp();
    // Scrolls the view `count` lines down (positive) or up; the caret stays.
    // False when the view was already at that end.
    bool ScrollLines(qsizetype count);

    // Spacing, margins, the text column and justification; the same line
    // stays at the top.
    void SetTypography(const PaneTypography& typography);
    const PaneTypography& Typography() const { return layouts_.Typography(); }

    // Characters from the top of the view to the first line not wholly in it.
    qsizetype CharactersShown() const { return lines_.CharactersShown(top_, ViewHeight()); }

    // The offset of the first character of the line at the top of the view.
    qsizetype FirstVisibleOffset() const { return top_; }
    // Brings the line holding `offset` to the top (or as near as the end of
    // the text allows), and keeps it there when the font or size changes.
    void ScrollToOffset(qsizetype offset);
    // Brings the line holding `offset` to the middle of the view (or as
    // near as the ends of the text allow): a hit read in its context.
    void CenterOnOffset(qsizetype offset);
    // Whether the line on screen holding `offset` is the line at the top.
    bool ShowsAtTop(qsizetype offset) const { return lines_.At(text_.Snapped(offset)).Start() == top_; }

    // Characters laid out so far: what was shown, not what the text holds.
    qsizetype CharactersLaidOut() const { return layouts_.CharactersLaidOut(); }

signals:
    // A key press that types a character; the handler may clear `character`
    // (set it to 0) to keep it out of the pane.
    void KeyPress(int& character);
    // The text changed, whatever changed it.
    void TextChanged();
    // The user double-clicked a line or pressed Enter on the caret's line;
    // lines are counted from 0 and end at CR LF, CR or LF.
    void LineActivated(qsizetype line);
    // The context menu is about to open on the character at `offset` (the
    // caret's when opened from the keyboard); the handler may add to it.
    void MenuOpening(QMenu* menu, qsizetype offset);

protected:
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Screen readers read the text, caret and layout as the painting does.
    friend class ReadingPaneAccessible;

    // Layouts follow the font and the width; the scroll range follows the
    // text and the height.
    void Relayout();
    void UpdateScrollRange();
    void ScrollTo(qsizetype offset);
    void ShowFromTheTop();
    void SetTop(qsizetype offset);
    void IndexTheRest();
    // Indexes the text at least up to `offset`, for a place asked for by name.
    void Reach(qsizetype offset);
    void SyncScrollBar();
    void OnScrollAction(int action);
    qsizetype ScrollUnit() const;
    qreal ViewHeight() const;

    // Caret moves.
    void MoveCaret(qsizetype position, bool select);
    bool MoveByKey(QKeyEvent* event);
    qsizetype VerticalMove(qsizetype offset, int lines);
    qsizetype PageMove(bool down);
    void EnsureCaretVisible();
    void RestartBlink();
    void ReportCaret();
    QRectF CaretRect() const;

    // Edits: the pane is not locked, only typed characters are kept out.
    void Replace(qsizetype from, qsizetype to, const QString& with);
    void Type(const QString& typed);
    void TypeKey(const QKeyEvent* event, int character);
    void DeleteForward(bool word);
    void Copy() const;
    void CopyToSelectionClipboard() const;
    void Paste();

    PaneText text_;
    PaneLayouts layouts_;
    PaneLines lines_{text_, layouts_};

    qsizetype anchor_ = 0;
    qsizetype position_ = 0;
    qsizetype reportedAnchor_ = 0;  // as screen readers were last told
    qsizetype reportedPosition_ = 0;
    std::optional<qreal> wantedX_;  // kept through moves up and down

    qsizetype top_ = 0;           // the start of the line at the top
    qsizetype scrollTarget_ = 0;  // the offset whose line is meant to be there
    qsizetype lastTop_ = 0;       // the top of the last full page
    bool syncingScrollBar_ = false;
    qreal wheelLines_ = 0;

    bool caretShown_ = false;
    QBasicTimer blinkTimer_;
    bool selecting_ = false;
    QPointF mousePoint_;
    QBasicTimer autoScrollTimer_;
    QBasicTimer indexTimer_;
};
