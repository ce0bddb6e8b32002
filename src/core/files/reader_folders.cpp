#include "core/files/reader_folders.h"

#include <QFileInfo>

#include <unistd.h>

namespace {

bool IsFolder(const QString& path)
{
    return QFileInfo(path).isDir();
}

// Whether this process may create files in `folder` (the test the system
// itself makes, so a read-only mount counts as read-only even for root),
// and the folder is ours alone: another user who may write in it could
// plant a link where book.ini is saved.
bool IsWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const bool othersWrite = info.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther);
    return info.isDir() && info.isWritable() && info.ownerId() == ::geteuid() && !othersWrite;
}

}  // namespace

ReaderFolders ReaderFolders::ForProgram(const QString& programFolder, const QString& userFolder)
{
    const QDir program(programFolder);
    const bool writable = IsWritableFolder(programFolder);
    if (IsFolder(program.filePath(QStringLiteral("Skin"))))
        return writable ? Portable(programFolder) : ReaderFolders{programFolder, userFolder};
    const QString shipped = QDir::cleanPath(program.filePath(QString::fromUtf16(kInstalledDataFolder)));
    if (IsFolder(shipped))
        return {shipped, userFolder};
    return writable ? Portable(programFolder) : ReaderFolders{programFolder, userFolder};
}
