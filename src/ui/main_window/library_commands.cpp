// 书架 and 书签: the library window, the bookmarks menu, and the notes that
// keep the library up to date while a book is read.

#include "core/library/library_store.h"
#include "core/reading/reader.h"
#include "ui/dialogs/library_window.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// The place is noted this often while reading, so that a reader who does
// not get to close (a crash, a power cut) loses at most this much.
constexpr int kPlaceNoteMs = 60 * 1000;
constexpr int kBookmarksListed = 20;
const QString kTip = QStringLiteral("提示");

}  // namespace

void MainWindow::BuildLibraryCommands()
{
    libraryAction = new QAction(QStringLiteral("书架"), fileMenu);
    libraryAction->setObjectName(QStringLiteral("libraryAction"));
    libraryAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    fileMenu->insertAction(recentFilesMenu->menuAction(), libraryAction);
    connect(libraryAction, &QAction::triggered, this, [this] { ShowLibrary(false); });

    bookmarksMenu = new QMenu(QStringLiteral("书签"), this);
    bookmarksMenu->setObjectName(QStringLiteral("bookmarksMenu"));
    addBookmarkAction = new QAction(QStringLiteral("添加书签"), bookmarksMenu);
    addBookmarkAction->setObjectName(QStringLiteral("addBookmarkAction"));
    addBookmarkAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addAction(addBookmarkAction);
    connect(addBookmarkAction, &QAction::triggered, this, &MainWindow::AddBookmark);
    connect(bookmarksMenu, &QMenu::aboutToShow, this, &MainWindow::ListBookmarks);
    menuBar()->addMenu(bookmarksMenu);

    helpMenu = new QMenu(QStringLiteral("帮助"), this);
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    helpAction = helpMenu->addAction(QStringLiteral("使用说明"));
    helpAction->setObjectName(QStringLiteral("helpAction"));
    helpAction->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(helpAction);
    connect(helpAction, &QAction::triggered, this, &MainWindow::ShowHelp);
    menuBar()->addMenu(helpMenu);

    placeNoteTimer = new QTimer(this);
    placeNoteTimer->setObjectName(QStringLiteral("placeNoteTimer"));
    placeNoteTimer->setInterval(kPlaceNoteMs);
    connect(placeNoteTimer, &QTimer::timeout, reader_, &Reader::NoteReadingPlace);
    placeNoteTimer->start();

    // Told once a session: every later change would fail the same way.
    connect(reader_, &Reader::LibraryUnwritable, this, [this](const QString& reason) {
        if (std::exchange(libraryProblemTold_, true))
            return;
        prompter_.Message(QStringLiteral("书架无法保存：") + reason, kTip, Prompter::Icon::Exclamation);
    });
    connect(reader_, &Reader::LoadFinished, this, [this] {
        if (library_)
            library_->Refresh();
    });
}

void MainWindow::ShowLibrary(bool bookmarks)
{
    if (!library_) {
        library_ = new LibraryWindow(reader_->Library(), prompter_, this);
        connect(library_, &LibraryWindow::OpenRequested, this,
                [this](const QString& path) { reader_->OpenCommand(path, Reader::OpenKind::Chosen); });
        connect(library_, &LibraryWindow::BookmarkRequested, this,
                [this](const Bookmark& mark) { reader_->GoToPlace(mark.path, mark.place); });
    }
    library_->Refresh();
    if (bookmarks)
        library_->ShowBookmarks();
    library_->show();
    library_->raise();
    library_->activateWindow();
}

void MainWindow::AddBookmark()
{
    const FileWriteResult added = reader_->AddBookmark();
    if (!added) {
        prompter_.Message(QStringLiteral("无法添加书签：") + added.reason, kTip, Prompter::Icon::Exclamation);
        return;
    }
    if (library_)
        library_->Refresh();
}

// The menu lists the current book's bookmarks, newest last, under the
// command that adds one.
void MainWindow::ListBookmarks()
{
    bookmarksMenu->clear();
    bookmarksMenu->addAction(addBookmarkAction);
    const Book* book = state_.CurrentOrNull();
    const QList<Bookmark> marks = book ? reader_->Library().Bookmarks(book->Path) : QList<Bookmark>{};
    if (!marks.isEmpty())
        bookmarksMenu->addSeparator();
    for (qsizetype i = std::max<qsizetype>(0, marks.size() - kBookmarksListed); i < marks.size(); ++i) {
        const Bookmark& mark = marks[i];
        QString caption = mark.chapterTitle;
        const QString words = mark.note.isEmpty() ? mark.excerpt : mark.note;
        if (!words.isEmpty())
            caption += QStringLiteral("　") + words;
        QAction* item = bookmarksMenu->addAction(caption);
        connect(item, &QAction::triggered, this, [this, mark] { reader_->GoToPlace(mark.path, mark.place); });
    }
    bookmarksMenu->addSeparator();
    QAction* manage = bookmarksMenu->addAction(QStringLiteral("管理书签…"));
    manage->setObjectName(QStringLiteral("manageBookmarksAction"));
    connect(manage, &QAction::triggered, this, [this] { ShowLibrary(true); });
}
