#include "core/library/library_folder.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

QList<LibraryBook> BooksInFolder(const QString& folder, const std::atomic_bool* stop)
{
    QList<LibraryBook> books;
    QSet<QString> walked;
    QStringList folders = {folder};
    while (!folders.isEmpty() && !(stop && stop->load())) {
        const QString current = folders.takeLast();
        const QString real = QFileInfo(current).canonicalFilePath();
        if (real.isEmpty() || walked.contains(real))
            continue;
        walked.insert(real);
        QDirIterator entries(current, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            const QFileInfo entry = entries.nextFileInfo();
            if (entry.isHidden())
                continue;
            if (entry.isDir()) {
                folders.append(entry.filePath());
            } else if (entry.isFile() && entry.fileName().endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) {
                LibraryBook book;
                book.path = entry.filePath();
                book.size = entry.size();
                books.append(std::move(book));
            }
        }
    }
    return books;
}
