#include "core/files/plain_file.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

bool IsNamedFile(const QString& path)
{
    // Text read from a file may hold an unpaired surrogate, which no file
    // name on disk can: such a path is simply a missing file.
    if (path.isEmpty() || !path.isValidUtf16())
        return false;
    // QFileInfo::isFile() also accepts FIFOs and devices on Unix, and
    // opening a FIFO would hang: ask the file system for a regular file,
    // through the overloads that report errors instead of throwing.
    const QByteArray native = QFile::encodeName(path);
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(native.toStdString()), error);
}

bool IsListedFile(const QString& path)
{
    return IsNamedFile(path) && !QFileInfo(path).isHidden();
}
