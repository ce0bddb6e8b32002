#pragma once

#include <QString>

// What the Reader shows through the main window, which implements it (and
// the tests, with a view of their own). Offsets in the pane are the
// reader's: CR LF counts as two characters.
class ReaderView {
public:
    // A message box with an OK button; it returns once the user has answered.
    enum class MessageKind { Error, Information };
    virtual void ShowMessage(const QString& text, const QString& caption, MessageKind kind = MessageKind::Error) = 0;

    virtual const QString& PaneText() const = 0;
    virtual void SetPaneText(const QString& text) = 0;
    virtual void AppendPaneText(const QString& text) = 0;
    // Whether the pane holds exactly this text, as set (cheap: no copy).
    virtual bool PaneShows(const QString& text) const = 0;
    virtual qsizetype PaneSelStart() const = 0;
    virtual qsizetype PaneSelLength() const = 0;
    virtual void SelectInPane(qsizetype start, qsizetype length) = 0;
    // The first character on screen, whether `offset` is on the top line,
    // and scrolling so that it is.
    virtual qsizetype FirstVisibleOffset() const = 0;
    virtual bool ShowsAtTop(qsizetype offset) const = 0;
    virtual void ScrollToOffset(qsizetype offset) = 0;
    // Scrolls so that the line holding `offset` is in the middle of the
    // view (or as near as the ends of the text allow).
    virtual void CenterOnOffset(qsizetype offset) = 0;

    virtual void SetCaption(const QString& caption) = 0;
    // Draws the title panel, the windows and the cover in the current skin.
    virtual void ApplySkin() = 0;
    // The chapter menu lists the chapters of book `slot`, or none for a
    // slot that holds no book. `anew`: even when it listed that book last.
    virtual void ListChapters(int slot, bool anew = false) = 0;
    // The books menu lists book `slot` unless an item has its file name.
    virtual void ListBook(int slot) = 0;

    // The splash shown while a book opens.
    virtual void ShowSplash() = 0;
    virtual void CloseSplash() = 0;

protected:
    ~ReaderView() = default;
};
