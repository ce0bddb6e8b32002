#include "core/files/plain_file.h"

#include "core/text/file_names.h"
#include "core/text/text_decoder.h"

#include <QFileInfo>

#include <filesystem>
#include <system_error>

bool IsNamedFile(const QString& path)
{
    // Text read from a file may hold an unpaired surrogate, which no file
    // name on disk can: such a path is simply a missing file.
    const QByteArray native = NativePath(path);
    if (native.isEmpty())
        return false;
    // QFileInfo::isFile() also accepts FIFOs and devices on Unix, and
    // opening a FIFO would hang: ask the file system for a regular file,
    // through the overloads that report errors instead of throwing.
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(native.toStdString()), error);
}

bool IsListedFile(const QString& path)
{
    return IsNamedFile(path) && !QFileInfo(path).fileName().startsWith(u'.');
}

bool PathExists(const QString& path)
{
    const QByteArray native = NativePath(path);
    std::error_code error;
    return !native.isEmpty() && std::filesystem::exists(std::filesystem::path(native.toStdString()), error);
}

bool IsFolder(const QString& path)
{
    const QByteArray native = NativePath(path);
    std::error_code error;
    return !native.isEmpty() && std::filesystem::is_directory(std::filesystem::path(native.toStdString()), error);
}

QString ExistingPathFor(const QString& remembered)
{
    if (IsNamedFile(remembered))
        return remembered;
    if (!remembered.startsWith(u'/'))
        return {};
    // Walk down the folders: a part not found as written may be found by
    // the bytes it was written with.
    QString path;
    const QStringList parts = remembered.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const auto found = [&](const QString& candidate) {
            return last ? IsNamedFile(candidate) : IsFolder(candidate);
        };
        QString candidate = path + u'/' + parts[i];
        if (!found(candidate)) {
            candidate = path + u'/' + PathFromNative(EncodeGb18030(parts[i]));
            if (!found(candidate))
                return {};
        }
        path = candidate;
    }
    return path;
}
