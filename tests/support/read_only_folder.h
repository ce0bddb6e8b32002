#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include <unistd.h>

// Makes a folder unwritable for this process while it lives: through a
// read-only bind mount for root, who writes through any permission bits,
// and by taking the write bits away for anyone else. Why() says what went
// wrong when neither could be done (tests then skip with that message).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path)
    {
        if (::geteuid() != 0) {
            permissions_ = QFile::permissions(path_);
            made_ = QFile::setPermissions(path_,
                                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                              | QFile::ReadOther | QFile::ExeOther);
            why_ = made_ ? QString() : QStringLiteral("cannot take the write bits off ") + path_;
            return;
        }
        if (!Run({QStringLiteral("--bind"), path_, path_})) {
            why_ = QStringLiteral("root without the right to mount here; no read-only bind mount of ") + path_;
            return;
        }
        mounted_ = true;
        made_ = Run({QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), path_, path_});
        if (!made_)
            why_ = QStringLiteral("the bind mount of ") + path_ + QStringLiteral(" cannot be made read-only");
    }

    ~ReadOnlyFolder()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {path_});
        else if (made_)
            QFile::setPermissions(path_, permissions_);
    }

    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool Made() const { return made_; }
    QString Why() const { return why_; }

private:
    static bool Run(const QStringList& arguments)
    {
        QProcess mount;
        mount.start(QStringLiteral("mount"), arguments);
        return mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    }

    QString path_;
    QFile::Permissions permissions_;
    bool made_ = false;
    bool mounted_ = false;
    QString why_;
};
