#include "core/files/plain_file.h"

#include <QFileInfo>

#include <filesystem>
#include <system_error>

bool IsListedFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.isHidden())
        return false;
    // QFileInfo::isFile() also accepts FIFOs and devices on Unix, and
    // opening a FIFO would hang: ask the file system for a regular file.
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path.toStdU16String()), error);
}
