#pragma once

// A real WebDAV server (Apache's mod_dav) on 127.0.0.1, started by a test:
// the files a sync writes really land in a folder, conditions really fail,
// a full disk really answers 507, and the server can be killed mid-request.
//
// Everything it keeps (configuration, logs, lock database, passwords) is in
// a temporary folder of its own. It runs as one process (-X) with the event
// MPM's threads, so several connections are served at once and a SIGKILL
// takes the whole server down. Apache will not serve as root: under root (as
// on CI) it serves as nobody, and the served folder is handed to nobody at
// every start. A folder a test makes there as root while the server runs
// stays root's; files are fine, since their folder is the server's. A
// served folder of the test's own must be reachable by nobody, as a
// SmallDisk is. Like Apache anywhere, it answers a PUT without an ETag:
// a client learns it from a HEAD or a PROPFIND.

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

class WebDavServer {
public:
    struct Options {
        QString user = QStringLiteral("reader");
        QString password = QStringLiteral("secret");
        // The folder served; empty: a temporary folder of its own.
        QString served;
        // ETags from the content (FileETag Digest), strong from the first
        // moment. Apache's own, from size and time, are weak for the second
        // after a write, and If-Match never matches a weak ETag: a client
        // that writes twice within a second gets 412. Off for a test of that.
        bool contentETags = true;
    };

    WebDavServer() : WebDavServer(Options()) {}
    explicit WebDavServer(Options options) : options_(std::move(options))
    {
        if (options_.served.isEmpty()) {
            options_.served = Path(QStringLiteral("dav"));
            QDir().mkpath(options_.served);
        }
        options_.served = QFileInfo(options_.served).absoluteFilePath();
        QDir().mkpath(Path(QStringLiteral("lock")));
        // A port of its own, kept across restarts so a client's URL stays good.
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, 0))
            port_ = probe.serverPort();
    }
    ~WebDavServer() { Stop(); }
    WebDavServer(const WebDavServer&) = delete;
    WebDavServer& operator=(const WebDavServer&) = delete;

    // Why no server can run here, empty when one can.
    static QString Unavailable()
    {
        if (!QFileInfo(kApache).isExecutable())
            return QStringLiteral("apache2 is not installed (no %1)").arg(kApache);
        for (const auto& [name, file] : Modules()) {
            if (!QFile::exists(kModules + file))
                return QStringLiteral("Apache's %1 is not installed (no %2%3)").arg(name, kModules, file);
        }
        return {};
    }

    // (Re)starts the server on its port; true once it answers HTTP.
    bool Start(QString* why = nullptr)
    {
        Stop();
        QString problem = Unavailable();
        if (problem.isEmpty() && port_ == 0)
            problem = QStringLiteral("no free port on 127.0.0.1");
        if (problem.isEmpty())
            problem = Prepare();
        if (problem.isEmpty())
            problem = Launch();
        if (!problem.isEmpty()) {
            if (why)
                *why = problem + QStringLiteral("\n") + ErrorLog().right(2000);
            Stop();
        }
        return problem.isEmpty();
    }

    // Asks the server to end, and waits until it has.
    void Stop()
    {
        if (!Running())
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000))
            Kill();
    }

    // The server dies at once, whatever it was doing. An upload it was
    // taking leaves its temporary file behind (.davfs.tmp*, never listed),
    // which still holds its space on a small disk.
    void Kill()
    {
        if (!Running())
            return;
        process_.kill();
        process_.waitForFinished(10000);
    }

    // An ended process is noticed only when asked: hence the look.
    bool Running() const { return process_.state() == QProcess::Running && !process_.waitForFinished(0); }

    QUrl Url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/dav/").arg(port_)); }
    QString Root() const { return options_.served; }

    // What the server said on its way up and since, for failure messages.
    QString ErrorLog() const
    {
        QString log;
        for (const QString& name : {QStringLiteral("stderr.log"), QStringLiteral("error.log")}) {
            QFile file(Path(name));
            if (file.open(QIODevice::ReadOnly))
                log += QString::fromLocal8Bit(file.readAll());
        }
        return log;
    }

private:
    static inline const QString kApache = QStringLiteral("/usr/sbin/apache2");
    static inline const QString kModules = QStringLiteral("/usr/lib/apache2/modules/");
    // Debian builds in only the core, unixd and logging; the rest is loaded.
    static QList<std::pair<QString, QString>> Modules()
    {
        QList<std::pair<QString, QString>> modules;
        for (const char* name : {"mpm_event", "authn_core", "authn_file", "auth_basic", "authz_core", "authz_user",
                                 "alias", "dav", "dav_fs"}) {
            const QString module = QString::fromLatin1(name);
            modules.append({module + QStringLiteral("_module"), QStringLiteral("mod_%1.so").arg(module)});
        }
        return modules;
    }

    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    static bool Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    }

    // Root hands what the server writes to nobody (65534, by number: the
    // name of its group differs between systems).
    static bool HandToNobody(const QString& path)
    {
        return ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0;
    }

    QString Prepare() const
    {
        // A server killed while it wrote its lock database can leave it so
        // that the next server's MKCOL never answers; no lock outlives a
        // server here, so each start begins with a fresh one.
        QDir lockFolder(Path(QStringLiteral("lock")));
        for (const QString& stale : lockFolder.entryList(QDir::Files | QDir::Hidden))
            lockFolder.remove(stale);
        const bool root = ::geteuid() == 0;
        if (root) {
            ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
            bool handed = HandToNobody(Path(QStringLiteral("lock"))) && HandToNobody(options_.served);
            QDirIterator files(options_.served, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDirIterator::Subdirectories);
            while (files.hasNext())
                handed = HandToNobody(files.next()) && handed;
            if (!handed)
                return QStringLiteral("cannot hand %1 to nobody").arg(options_.served);
        }
        const QByteArray digest = QCryptographicHash::hash(options_.password.toUtf8(), QCryptographicHash::Sha1);
        if (!Write(Path(QStringLiteral("htpasswd")), options_.user.toUtf8() + ":{SHA}" + digest.toBase64() + "\n"))
            return QStringLiteral("cannot write the password file");

        QStringList lines{
            QStringLiteral("ServerRoot \"%1\"").arg(dir_.path()),
            QStringLiteral("ServerName 127.0.0.1"),
            QStringLiteral("Listen 127.0.0.1:%1").arg(port_),
            QStringLiteral("PidFile \"%1\"").arg(Path(QStringLiteral("apache2.pid"))),
            QStringLiteral("Mutex file:%1 default").arg(dir_.path()),
            QStringLiteral("ErrorLog \"%1\"").arg(Path(QStringLiteral("error.log"))),
            QStringLiteral("LogLevel warn"),
        };
        for (const auto& [name, file] : Modules())
            lines << QStringLiteral("LoadModule %1 %2%3").arg(name, kModules, file);
        if (root)
            lines << QStringLiteral("User #%1").arg(kNobody) << QStringLiteral("Group #%1").arg(kNobody);
        lines << QStringLiteral("DavLockDB \"%1\"").arg(Path(QStringLiteral("lock/DavLock")))
              << QStringLiteral("Alias /dav/ \"%1/\"").arg(options_.served) << QStringLiteral("<Location /dav/>")
              << QStringLiteral("    Dav On") << QStringLiteral("    AuthType Basic")
              << QStringLiteral("    AuthName \"reader\"")
              << QStringLiteral("    AuthUserFile \"%1\"").arg(Path(QStringLiteral("htpasswd")))
              << QStringLiteral("    Require valid-user");
        if (options_.contentETags)
            lines << QStringLiteral("    FileETag Digest");
        lines << QStringLiteral("</Location>");
        if (!Write(Path(QStringLiteral("apache2.conf")), lines.join(u'\n').toUtf8() + '\n'))
            return QStringLiteral("cannot write the configuration");
        // A killed server leaves its pid file, and the next start warns.
        QFile::remove(Path(QStringLiteral("apache2.pid")));
        return {};
    }

    QString Launch()
    {
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(Path(QStringLiteral("stderr.log")), QIODevice::Append);
        process_.start(kApache, {QStringLiteral("-f"), Path(QStringLiteral("apache2.conf")), QStringLiteral("-X")});
        if (!process_.waitForStarted(10000))
            return QStringLiteral("apache2 did not start: ") + process_.errorString();
        const QDeadlineTimer deadline(10000);
        while (Running()) {
            // Each try is short: whatever else may hold the port must not
            // keep us from noticing that apache2 gave up.
            if (Answers(QDeadlineTimer(std::min<qint64>(deadline.remainingTime(), 1000))) && Running())
                return {};
            if (deadline.hasExpired())
                return QStringLiteral("apache2 did not answer within 10 s");
            // The pause between two tries ends at once when apache2 ends.
            process_.waitForFinished(20);
        }
        return QStringLiteral("apache2 ended at its start");
    }

    // Whether an HTTP request gets an answer, whatever the answer is.
    bool Answers(const QDeadlineTimer& deadline) const
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            return false;
        socket.write("OPTIONS /dav/ HTTP/1.0\r\n\r\n");
        QByteArray answer;
        while (answer.size() < 5 && socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            answer += socket.readAll();
        return answer.startsWith("HTTP/");
    }

    static constexpr uid_t kNobody = 65534;

    Options options_;
    QTemporaryDir dir_;
    quint16 port_ = 0;
    mutable QProcess process_;
};
