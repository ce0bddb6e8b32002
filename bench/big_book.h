#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>

// The large synthetic book of bench/make_big.py, made on first use
// in READER_BIG_BOOK_DIR (else the system temp folder) and kept there.
inline QString BigBook(int megabytes)
{
    const QString folder = qEnvironmentVariableIsSet("READER_BIG_BOOK_DIR")
        ? qEnvironmentVariable("READER_BIG_BOOK_DIR")
        : QDir::tempPath();
    const QString path = QDir(folder).filePath(QString("reader-big-%1.txt").arg(megabytes));
    if (!QFileInfo::exists(path))
        QProcess::execute("python3", {QStringLiteral(READER_MAKE_BIG), QString::number(megabytes), path});
    return path;
}
