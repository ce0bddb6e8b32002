#pragma once

// The real program in a program folder of its own: the binary, shipped
// skins and pictures, a help document; started as a child process and
// closed the way a desktop session closes it.

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

inline const QString kHelpDocument = QStringLiteral("热列庆祝中华人民共和国成立60周年.txt");

// Copies the program and what it reads into `folder`.
inline void MakeProgramFolder(const QString& folder, const QStringList& skins = {QStringLiteral("言情")})
{
    QDir().mkpath(folder + QStringLiteral("/Skin"));
    QDir().mkpath(folder + QStringLiteral("/SImage"));
    const QString binary = folder + QStringLiteral("/txtreader");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TXTREADER_BINARY), binary));
    QFile::setPermissions(binary, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    for (const QString& skin : skins)
        ASSERT_TRUE(QFile::copy(QStringLiteral(READER_DATA_DIR "/Skin/") + skin + QStringLiteral(".ini"),
                                folder + QStringLiteral("/Skin/") + skin + QStringLiteral(".ini")));
    const QDir pictures(QStringLiteral(READER_DATA_DIR "/SImage"));
    for (const QString& picture : pictures.entryList(QDir::Files))
        QFile::copy(pictures.filePath(picture), folder + QStringLiteral("/SImage/") + picture);
    QFile help(folder + u'/' + kHelpDocument);
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write(EncodeGb18030(QStringLiteral("第一章 开始\r\n正文\r\n第二章 结束\r\n正文\r\n")));
}

class ReaderRun {
public:
    // Starts the program; `environment` adds to (or overrides) the test's.
    explicit ReaderRun(const QString& programFolder, const QStringList& wrapper = {},
                       const QProcessEnvironment& environment = {})
    {
        QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
        merged.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        merged.insert(environment);
        process_.setProcessEnvironment(merged);
        process_.setWorkingDirectory(programFolder);
        const QString binary = QDir(programFolder).filePath(QStringLiteral("txtreader"));
        if (wrapper.isEmpty())
            process_.start(binary, {});
        else
            process_.start(wrapper.front(), wrapper.mid(1));
        EXPECT_TRUE(process_.waitForStarted(10000));
    }

    // Lets start-up finish, then asks the window to close as a desktop does
    // when the session ends. The exit status; -1 after a crash.
    int CloseBySignal(int waitMs = 2500)
    {
        QThread::msleep(waitMs);
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        return Finish(20000);
    }
    // Waits for the program (or its wrapper) to end by itself.
    int Finish(int timeoutMs)
    {
        EXPECT_TRUE(process_.waitForFinished(timeoutMs));
        stderr_ = QString::fromLocal8Bit(process_.readAllStandardError());
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    QString Stderr() const { return stderr_; }

private:
    QProcess process_;
    QString stderr_;
};
