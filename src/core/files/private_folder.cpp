#include "core/files/private_folder.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A real folder (not a link) of this user's that group and others cannot enter.
bool IsOurs(const QString& folder)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

}  // namespace

QString PrivateRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && IsOurs(runtime))
        return QDir::cleanPath(runtime);
    // Another user may have made the name first: then it is not ours, and
    // nothing is shared.
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("txtreader-%1").arg(::geteuid()));
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return IsOurs(own) ? own : QString();
}
