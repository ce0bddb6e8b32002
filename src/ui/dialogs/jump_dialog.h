#pragma once

#include <QDialog>

class ChapterListModel;
class QLineEdit;
class QListView;
class QTimer;
class Reader;

// "跳到章节": a filter box over the current book's chapters. Typing narrows
// the list by title or number; Enter or a double click shows the selected
// chapter, as the chapter menu would, and the dialog goes away. It is modal
// to the main window for the moment it takes, and hidden, not deleted, when
// it goes. While it is open it follows the book store: chapters that arrive
// while the book loads join the list, and another current book replaces it.
class JumpDialog : public QDialog {
    Q_OBJECT
public:
    JumpDialog(Reader& reader, QWidget* parent);

    // Shows the dialog afresh: no filter, the current book's chapters, the
    // current chapter selected (the first one from the contents view).
    void ShowAfresh();

    QLineEdit& FilterText() const { return *filterText; }
    QListView& ChapterList() const { return *chapterList; }
    const ChapterListModel& Chapters() const { return *chapters_; }
    // The chapter selected in the list, or -1.
    int SelectedChapter() const;

public slots:
    // Shows the selected chapter and closes; nothing happens when no
    // chapter is selected, or when another book has just become current
    // (its list is shown instead, to choose from).
    void Choose();
    void OnFilterTextChanged();
    // Catches up with the book store (run by a timer while open).
    void Follow();
    // Closes the dialog (Enter, Esc) and hands the keys back to the reader.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Selects `chapter` if listed, else the first row, and scrolls to it.
    void SelectChapter(int chapter);
    int CurrentChapter() const;

    Reader& reader_;
    ChapterListModel* chapters_;
    QLineEdit* filterText;
    QListView* chapterList;
    QTimer* followTimer;
};
