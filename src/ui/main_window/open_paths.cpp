// Opening books named from outside the window: the command line, a second
// start of the reader handing over its files, and files dropped on the
// window. Each opens as the open command opens a chosen file.

#include "core/files/plain_file.h"
#include "core/reading/reader.h"
#include "core/text/file_names.h"
#include "ui/main_window/main_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

QStringList DroppedBooks(const QMimeData& dropped)
{
    QStringList books;
    for (const QUrl& url : dropped.urls()) {
        if (!url.isLocalFile())
            continue;
        // The name's bytes as they are: toLocalFile() would lose those of a
        // name that is not UTF-8.
        const QString path = PathFromNative(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) && !IsFolder(path))
            books.append(path);
    }
    return books;
}

void MainWindow::OpenPaths(const QStringList& paths)
{
    if (quitting_ || paths.isEmpty())
        return;
    // As after a choice in the open dialog: the folder scan starts in the
    // book's folder, and the pane is emptied before each load.
    reader_->Open(paths, Reader::OpenKind::Outside);
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
