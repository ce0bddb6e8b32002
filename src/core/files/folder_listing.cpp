#include "core/files/folder_listing.h"

#include "core/files/plain_file.h"
#include "core/text/file_names.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <filesystem>
#include <system_error>

QStringList ListPlainFiles(const QString& folderPath, const QString& extension)
{
    if (folderPath.isEmpty() || !IsFolder(folderPath))
        return {};
    // Listed by the bytes of the names: QDir leaves out a name that is not
    // UTF-8, and books copied from Windows archives often have GBK names.
    const std::filesystem::path folder(NativePath(folderPath).toStdString());
    std::error_code error;
    QStringList names;
    for (auto entry = std::filesystem::directory_iterator(folder, error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().native();
        const QString decoded = PathFromNative(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
        // The same test of a plain file the rest of the program uses
        // (regular, not hidden), whatever a link leads to.
        if (decoded.endsWith(extension, Qt::CaseInsensitive) && IsListedFile(folderPath + u'/' + decoded))
            names.append(decoded);
    }
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
