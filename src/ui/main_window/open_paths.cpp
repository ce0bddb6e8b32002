// Opening books named from outside the window: the command line, a second
// start of the reader handing over its files, and files dropped on the
// window. Each opens as the open command opens a chosen file.

#include "core/files/plain_file.h"
#include "ui/main_window/main_window.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// How long paths wait before looking again whether an open command is
// still loading.
constexpr int kRetryAfterLoadMs = 50;

}  // namespace

QStringList DroppedBooks(const QMimeData& dropped)
{
    QStringList books;
    for (const QUrl& url : dropped.urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0
            && !QFileInfo(path).isDir())
            books.append(path);
    }
    return books;
}

void MainWindow::OpenPaths(const QStringList& paths)
{
    pendingPaths_ += paths;
    OpenPendingPaths();
}

void MainWindow::OpenPendingPaths()
{
    // Paths that arrive while these are opening join the queue and are
    // opened by the loop below.
    if (openingPaths_ || quitting_)
        return;
    // An open command is loading and would refuse a second one; the paths
    // wait until it has finished instead.
    if (state_.LoadingBook == -1) {
        if (!retryPending_) {
            retryPending_ = true;
            QTimer::singleShot(kRetryAfterLoadMs, this, [this] {
                retryPending_ = false;
                OpenPendingPaths();
            });
        }
        return;
    }
    openingPaths_ = true;
    while (!pendingPaths_.isEmpty() && !quitting_) {
        const QString path = pendingPaths_.takeFirst();
        // As after a choice in the open dialog: the folder scan starts in
        // the book's folder, and the pane is emptied before the load.
        QDir::setCurrent(QFileInfo(path).absolutePath());
        OpenSequence(path, true);
    }
    openingPaths_ = false;
}

void MainWindow::AcceptBookDrops()
{
    // The window takes every drop: its controls (the pane would insert a
    // dropped file's name as text) hand drags on to it.
    for (QWidget* child : findChildren<QWidget*>())
        child->setAcceptDrops(false);
    setAcceptDrops(true);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && !DroppedBooks(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList books = event->mimeData() ? DroppedBooks(*event->mimeData()) : QStringList();
    if (books.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The drag source waits for the drop to return: open after it has.
    QTimer::singleShot(0, this, [this, books] { OpenPaths(books); });
}
