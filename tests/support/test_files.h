#pragma once

#include "core/text/text_decoder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A temporary folder that tests fill with real files.
class TempFolder {
public:
    TempFolder() { EXPECT_TRUE(dir_.isValid()); }

    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    QString Root() const { return dir_.path(); }

    QString WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        const QString path = Path(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    // Writes `text` as GBK bytes, the form Windows-era books come in.
    QString WriteGbk(const QString& name, const QString& text) const { return WriteBytes(name, EncodeGb18030(text)); }

private:
    QTemporaryDir dir_;
};

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
