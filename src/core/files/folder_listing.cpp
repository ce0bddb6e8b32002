#include "core/files/folder_listing.h"

#include "core/files/plain_file.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>

QStringList ListPlainFiles(const QString& folderPath, const QString& extension)
{
    const QDir folder(folderPath);
    if (folderPath.isEmpty() || !folder.exists())
        return {};
    // Without QDir::CaseSensitive the pattern ignores case; without
    // QDir::Hidden and QDir::System hidden files, FIFOs and devices stay out.
    QStringList names = folder.entryList({u'*' + extension}, QDir::Files, QDir::NoSort);
    // The same test of a plain file the rest of the program uses (regular,
    // not hidden), whatever a link let through the listing.
    names.removeIf([&](const QString& name) { return !IsListedFile(folder.filePath(name)); });

    // The C locale collates by code point and ignores numeric mode, which
    // would put 10 before 2; fall back to Chinese, the books' language.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::Chinese, QLocale::China);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Names equal but for case (possible on Linux) fall back to code order,
    // so the order never depends on the listing's.
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}
