#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs of its own, mounted for one test and filled on request:
// a disk that is really full, not a simulated one. Mounting needs root
// (as CI runs); elsewhere Mounted() is false and the test skips.
class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes)
    {
        if (!dir_.isValid() || ::geteuid() != 0)
            return;
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    QString Root() const { return dir_.path(); }
    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // Mounts the disk again read-only: a folder nobody, root included, can
    // write to.
    bool MakeReadOnly() const
    {
        return ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr)
            == 0;
    }

    // Writes blocks into a filler file until the disk refuses more; true
    // when the disk is then full.
    bool Fill() const
    {
        QFile filler(Path(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'x');
        for (int i = 0; i < 1 << 20; ++i) {
            if (filler.write(block) != block.size())
                break;
        }
        // Whatever fitted of the last block went in; one more byte must not.
        return filler.write("x", 1) != 1;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

#define SKIP_UNLESS_MOUNTED(disk)                                                                                      \
    if (!(disk).Mounted())                                                                                             \
    GTEST_SKIP() << "a full disk needs a tmpfs of its own: run as root (as CI does) where mounting is allowed"
