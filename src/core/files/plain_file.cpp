#include "core/files/plain_file.h"

#include "core/text/file_names.h"
#include "core/text/text_decoder.h"

#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

// What is at `path`, asked by the bytes of its name (through links), with
// the overloads that report errors instead of throwing. Text read from a
// file may hold an unpaired surrogate, which no file name on disk can:
// such a path is simply not found.
std::filesystem::file_status StatusOf(const QString& path)
{
    const QByteArray native = NativePath(path);
    if (native.isEmpty())
        return std::filesystem::file_status(std::filesystem::file_type::not_found);
    std::error_code error;
    return std::filesystem::status(std::filesystem::path(native.toStdString()), error);
}

}  // namespace

bool IsNamedFile(const QString& path)
{
    // QFileInfo::isFile() also accepts FIFOs and devices on Unix, and
    // opening a FIFO would hang: ask for a regular file.
    return std::filesystem::is_regular_file(StatusOf(path));
}

bool IsListedFile(const QString& path)
{
    return IsNamedFile(path) && !QFileInfo(path).fileName().startsWith(u'.');
}

bool PathExists(const QString& path)
{
    return std::filesystem::exists(StatusOf(path));
}

bool IsFolder(const QString& path)
{
    return std::filesystem::is_directory(StatusOf(path));
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
