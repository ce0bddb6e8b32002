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

    std::sort(names.begin(), names.end(), NaturalOrder());
    return names;
}

NaturalOrder::NaturalOrder()
{
    // The C locale collates by code point and ignores numeric mode, which
    // would put 10 before 2; fall back to Chinese, the books' language.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::Chinese, QLocale::China);
    collator_ = QCollator(locale);
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool NaturalOrder::operator()(const QString& a, const QString& b) const
{
    const int order = collator_.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}
