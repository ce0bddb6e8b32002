#pragma once

// The real program started as a process of its own, for the tests of what
// it does on the desktop: its command line, its hand-over to a reader that
// runs already, its install tree.

#include "support/test_files.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

// No display at all: the offscreen platform, so any machine runs it.
inline QProcessEnvironment OffscreenEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// A portable program folder: the program and the default skin.
inline void MakeProgramFolder(const TempFolder& program)
{
    const QString binary = program.Path(QStringLiteral("txtreader"));
    EXPECT_TRUE(QFile::copy(QStringLiteral(TXTREADER_BINARY), binary));
    QFile::setPermissions(binary, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QDir().mkpath(program.Path(QStringLiteral("Skin")));
    EXPECT_TRUE(
        QFile::copy(QStringLiteral(READER_DATA_DIR "/Skin/言情.ini"), program.Path(QStringLiteral("Skin/言情.ini"))));
}

class ReaderRun {
public:
    ReaderRun(const QString& program, const QStringList& arguments, const QString& workingFolder,
              const QProcessEnvironment& environment = OffscreenEnvironment())
    {
        process_.setProcessEnvironment(environment);
        process_.setWorkingDirectory(workingFolder);
        process_.start(program, arguments);
        EXPECT_TRUE(process_.waitForStarted(10000)) << process_.errorString().toStdString();
    }
    ~ReaderRun()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    ReaderRun(const ReaderRun&) = delete;
    ReaderRun& operator=(const ReaderRun&) = delete;

    qint64 Pid() const { return process_.processId(); }

    // Waits until this reader holds its folder's lock and listens for the
    // books of later starts, then lets start-up open its own books.
    bool WaitUntilReading(int timeoutMs = 20000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        const QDir temp(QDir::tempPath());
        const QByteArray pid = QByteArray::number(Pid());
        while (!deadline.hasExpired() && Running()) {
            for (const QString& lock :
                 temp.entryList({QStringLiteral("txtreader-*.lock")}, QDir::Files | QDir::Hidden)) {
                QFile file(temp.filePath(lock));
                if (file.open(QIODevice::ReadOnly) && file.readLine().trimmed() == pid
                    && QFile::exists(temp.filePath(lock.chopped(5)))) {
                    QThread::msleep(1500);
                    return Running();
                }
            }
            QThread::msleep(50);
        }
        return false;
    }

    // Whether the process ended by itself within `timeoutMs`.
    bool Ended(int timeoutMs = 20000) { return process_.waitForFinished(timeoutMs); }
    // Whether it runs still (an ended process is noticed only when asked).
    bool Running() { return !process_.waitForFinished(0) && process_.state() == QProcess::Running; }

    // Closes the window the way a desktop does when the session ends; the
    // program's exit code, or -1 when it did not end.
    int Close()
    {
        ::kill(static_cast<pid_t>(Pid()), SIGTERM);
        if (!process_.waitForFinished(20000))
            return -1;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    void Kill()
    {
        ::kill(static_cast<pid_t>(Pid()), SIGKILL);
        process_.waitForFinished(10000);
    }

    int ExitCode() const { return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1; }
    QString Output() { return QString::fromLocal8Bit(process_.readAllStandardOutput()); }
    QString Errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
};
