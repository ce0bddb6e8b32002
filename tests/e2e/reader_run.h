#pragma once

// The real program started as a process of its own: from a program folder
// made for the test or as installed, offscreen or under a wrapper such as
// xvfb-run, and closed the way a desktop session closes it. Every wait has
// a deadline and ends as soon as what it waits for has happened.

#include "core/files/private_folder.h"
#include "support/test_files.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>

#include <algorithm>
#include <csignal>

namespace e2e {

inline const QString kHelpDocument = QStringLiteral("热列庆祝中华人民共和国成立60周年.txt");

// No display at all: the offscreen platform, so any machine runs it.
inline QProcessEnvironment OffscreenEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// A portable program folder: the program, the skins named, the shipped
// pictures and a short help document.
inline void MakeProgramFolder(const QString& folder, const QStringList& skins = {QStringLiteral("言情")})
{
    QDir().mkpath(folder + QStringLiteral("/Skin"));
    QDir().mkpath(folder + QStringLiteral("/SImage"));
    const QString binary = folder + QStringLiteral("/txtreader");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TXTREADER_BINARY), binary));
    QFile::setPermissions(binary, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
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
    // Starts `program` with `arguments` in `workingFolder`.
    ReaderRun(const QString& program, const QStringList& arguments, const QString& workingFolder,
              const QProcessEnvironment& environment = OffscreenEnvironment())
    {
        process_.setProcessEnvironment(environment);
        // Where the reader keeps its lock and socket: its runtime folder
        // when it is given one, else ours, which is the same folder.
        runtime_ = environment.value(QStringLiteral("XDG_RUNTIME_DIR"), PrivateRuntimeFolder());
        process_.setWorkingDirectory(workingFolder);
        process_.start(program, arguments);
        EXPECT_TRUE(process_.waitForStarted(10000)) << process_.errorString().toStdString();
    }
    // The program of a program folder, started there with no argument.
    explicit ReaderRun(const QString& programFolder)
        : ReaderRun(QDir(programFolder).filePath(QStringLiteral("txtreader")), {}, programFolder)
    {}
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
    // books of later starts, has ended start-up, and reads no book: every
    // book it was given is open or was refused.
    bool WaitUntilReading(int timeoutMs = 20000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        QString server;
        while (server.isEmpty()) {
            server = Server();
            if (server.isEmpty() && !Pause(deadline))
                return false;
        }
        // It answers a hand-over from its event loop: once it has, start-up
        // is over and the books handed over before have begun to load. A
        // book being read is a file the process holds open; a load hands
        // its end to the event loop before it lets the file go, so the next
        // answer comes after that end, which may start the next book. Three
        // quiet looks in a row, a moment apart: nothing is left to open.
        for (int quiet = 0; quiet < 3;) {
            if (!Answers(server, deadline))
                return false;
            quiet = ReadsABook() ? 0 : quiet + 1;
            if (!Pause(deadline))
                return false;
        }
        return Running();
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
        return ExitCode();
    }
    void Kill()
    {
        ::kill(static_cast<pid_t>(Pid()), SIGKILL);
        process_.waitForFinished(10000);
    }

    // The exit code of an ended process; -1 after a crash.
    int ExitCode() const { return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1; }
    // Everything the process wrote so far.
    QString Output()
    {
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
        return output_;
    }
    QString Errors()
    {
        errors_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return errors_;
    }

private:
    // A short wait between two looks, cut short when the process ends
    // (whose pipes it empties meanwhile); false once either has happened.
    bool Pause(const QDeadlineTimer& deadline)
    {
        if (deadline.hasExpired())
            return false;
        process_.waitForFinished(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 50)));
        return Running();
    }

    // The reader's local server, once its lock file names this process and
    // the server is there.
    QString Server() const
    {
        const QDir temp(runtime_);
        const QByteArray pid = QByteArray::number(Pid());
        for (const QString& lock :
             temp.entryList({QStringLiteral("txtreader-*.lock")}, QDir::Files | QDir::Hidden | QDir::System)) {
            QFile file(temp.filePath(lock));
            const QString server = temp.filePath(lock.chopped(5));
            if (file.open(QIODevice::ReadOnly) && file.readLine().trimmed() == pid && QFileInfo::exists(server))
                return server;
        }
        return {};
    }

    // Hands over no books, as a start without books does (the reader only
    // comes to the front), and whether the receipt came.
    static bool Answers(const QString& server, const QDeadlineTimer& deadline)
    {
        QLocalSocket socket;
        socket.connectToServer(server);
        if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            return false;
        QByteArray message;
        QDataStream out(&message, QIODevice::WriteOnly);
        out << quint32{0x54585452} << QStringList();  // "TXTR": the start of a hand-over
        socket.write(message);
        while (socket.bytesAvailable() == 0 && socket.state() == QLocalSocket::ConnectedState
               && !deadline.hasExpired()) {
            if (socket.bytesToWrite() > 0)
                socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
            else
                socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        }
        char receipt = 0;
        return socket.getChar(&receipt) && receipt == 'K';
    }

    // Whether the process holds a .txt file open.
    bool ReadsABook() const
    {
        const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(Pid()));
        for (const QString& descriptor : descriptors.entryList(QDir::Files | QDir::System)) {
            if (QFileInfo(descriptors.filePath(descriptor)).symLinkTarget().endsWith(QStringLiteral(".txt")))
                return true;
        }
        return false;
    }

    QString runtime_;
    QProcess process_;
    QString output_;
    QString errors_;
};

}  // namespace e2e
