#pragma once

#include "core/books/reader_state.h"
#include "core/files/reader_folders.h"

#include <QString>

class MenuItemArray;
class PictureBox;
class PictureCache;
class Reader;
class Prompter;
class QColor;
class QImage;
class QWidget;
class ReadingPane;

// The chapter menu lists this book's chapters as they were last listed, so
// a step inside the same book does not rebuild thousands of entries.
struct ChapterMenuKey {
    int book = -1;
    int chapters = -1;
    QString lastTitle;
    bool operator==(const ChapterMenuKey&) const = default;
};

// What showing a chapter, opening a book, applying a skin and the dialogs
// need of the main window. The main window implements it, so none of them
// includes the main window's header.
class ReaderView {
public:
    virtual ReaderState& State() = 0;
    // The owner of the reading state, which every change goes through.
    virtual Reader& Reading() = 0;
    virtual Prompter& Prompts() = 0;
    virtual const ReaderFolders& Folders() const = 0;
    // The folder the last book was chosen in: where a folder scan starts.
    virtual QString LastFolder() const = 0;
    // The window dialogs and message boxes stand over.
    virtual QWidget& Window() = 0;

    virtual ReadingPane& Pane() = 0;
    virtual PictureBox& TitlePanel() = 0;
    virtual MenuItemArray& BookItems() = 0;
    virtual MenuItemArray& ChapterItems() = 0;
    virtual MenuItemArray& SkinItems() = 0;
    virtual ChapterMenuKey& ListedChapters() = 0;
    virtual PictureCache& Pictures() = 0;
    // Whether the reading pane holds no text at all.
    virtual bool PaneIsEmpty() const = 0;

    virtual void SetCaption(const QString& caption) = 0;
    virtual void SetBackColor(const QColor& colour) = 0;
    virtual void SetBandColor(const QColor& colour) = 0;
    // Either colour may be missing; the pane keeps that one as it is.
    virtual void SetPaneColors(const QColor* text, const QColor* background) = 0;
    // The cover window is made on first use, without being shown.
    virtual void SetCoverBackColor(const QColor& colour) = 0;
    virtual void SetCoverPicture(const QImage& picture) = 0;
    // An open cover shows the current book's name.
    virtual void CoverFollowsCurrentBook() = 0;

    // The splash shown while a book opens.
    virtual void ShowSplash() = 0;
    virtual void CloseSplash() = 0;

    // Set once the window is closing: work in progress stops at its next
    // yield without touching a widget.
    virtual bool Quitting() const = 0;

protected:
    ~ReaderView() = default;
};
