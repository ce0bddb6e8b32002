#pragma once

#include "core/library/library_store.h"

#include <QFutureWatcher>
#include <QWidget>

#include <atomic>

class BookmarkModel;
class LibraryFilterModel;
class LibraryModel;
class Prompter;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

// 书架: every book of the library with its progress and reading times,
// sorted by the header and filtered as the reader types, and a 书签 tab of
// every bookmark. A window of its own, never modal. It asks the main window
// to open a book or go to a bookmark through its signals, and changes the
// library itself only to forget a book, point it at its moved file or edit
// a bookmark. Refresh() reads the library again after changes elsewhere.
class LibraryWindow : public QWidget {
    Q_OBJECT
public:
    LibraryWindow(LibraryStore& store, Prompter& prompter, QWidget* parent = nullptr);
    ~LibraryWindow() override;

    // The book under the cursor of the books' table; empty: none.
    QString CurrentPath() const;

    // Brings the 书签 tab forward.
    void ShowBookmarks();

public slots:
    void Refresh();

signals:
    void OpenRequested(const QString& path);
    void BookmarkRequested(const Bookmark& mark);

private:
    QWidget* MakeBooksTab();
    QWidget* MakeBookmarksTab();
    QList<LibraryBook> SelectedBooks() const;
    void SelectBook(const QString& path);
    void UpdateActions();

    void OpenCurrent();
    void RemoveSelected();
    // 添加文件夹…: the folder's books are found on a worker, then added.
    void AddFolder();
    void AddFoundBooks();
    // Asks for the moved file of the current book; the new path, or empty.
    QString RelocateCurrent();
    void JumpToBookmark();
    void EditBookmarkNote();
    void DeleteBookmark();
    void StoreNote(qint64 id, const QString& note);
    // Says why a change of the library was not written.
    void TellFailure(const FileWriteResult& result);

    LibraryStore& store_;
    Prompter& prompter_;
    LibraryModel* books_;
    LibraryFilterModel* shownBooks_;
    BookmarkModel* bookmarks_;

    QTabWidget* libraryTabs;
    QLineEdit* libraryFilter;
    QTableView* bookTable;
    QLabel* bookCount;
    QAction* openAction;
    QAction* removeAction;
    QAction* relocateAction;
    QAction* addFolderAction;
    QFutureWatcher<QList<LibraryBook>> folderSearch_;
    std::atomic_bool stopFolderSearch_ = false;
    QString lastFolder_;
    QTableView* bookmarkTable;
    QAction* jumpAction;
    QAction* editNoteAction;
    QAction* deleteBookmarkAction;
};
