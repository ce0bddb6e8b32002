#include "ui/platform/single_instance.h"

#include "core/files/private_folder.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {

// The first bytes of a hand-over, so a stray client is not taken for one.
constexpr quint32 kHandOverMagic = 0x54585452;  // "TXTR"
constexpr char kReceipt = 'K';

QString ServerPathFor(const QString& stateFolder)
{
    const QString folder = PrivateRuntimeFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(SingleInstance::KeyFor(stateFolder));
}

}  // namespace

SingleInstance::SingleInstance(const QString& stateFolder, QObject* parent)
    : QObject(parent)
    , serverPath_(ServerPathFor(stateFolder))
{
    if (serverPath_.isEmpty())
        return;
    lock_ = std::make_unique<QLockFile>(serverPath_ + QStringLiteral(".lock"));
    // A live reader keeps the folder however long it runs; a dead one's
    // lock (its process has gone) is stale at once.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    server_.close();
}

QString SingleInstance::KeyFor(const QString& stateFolder)
{
    const QFileInfo folder(stateFolder);
    QString path = folder.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(folder.absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("txtreader-") + QString::fromLatin1(hash);
}

SingleInstance::Role SingleInstance::Claim(const QStringList& books, int timeoutMs)
{
    // No private folder: nothing can be shared, and this reader runs alone.
    if (!lock_)
        return Role::First;
    if (lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError) {
        // Ours (or no lock can be made at all: then nothing can be shared
        // and this reader runs alone). A socket left by a reader that died
        // would block the listen; one that still cannot be listened on
        // leaves this reader alone too.
        QLocalServer::removeServer(serverPath_);
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
        if (!server_.listen(serverPath_))
            std::fprintf(stderr, "txtreader: %s\n", qPrintable(server_.errorString()));
        return Role::First;
    }

    // The reader holding the lock may be starting and not listen yet.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    while (!deadline.hasExpired()) {
        socket.connectToServer(serverPath_);
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 200))))
            break;
        socket.abort();
        QThread::msleep(20);
    }
    if (socket.state() != QLocalSocket::ConnectedState)
        return Role::NoAnswer;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << kHandOverMagic << books;
    socket.write(message);
    while (!deadline.hasExpired() && socket.bytesAvailable() == 0) {
        if (socket.bytesToWrite() > 0)
            socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
        else
            socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
            break;
    }
    char receipt = 0;
    return socket.getChar(&receipt) && receipt == kReceipt ? Role::HandedOver : Role::NoAnswer;
}

void SingleInstance::DeliverTo(std::function<void(const QStringList&)> receiver)
{
    receiver_ = std::move(receiver);
    const QList<QStringList> waiting = std::exchange(waiting_, {});
    for (const QStringList& books : waiting)
        QTimer::singleShot(0, this, [this, books] { receiver_(books); });
}

void SingleInstance::Accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        // Too many at once (a client that never finishes, many times over):
        // the newcomer is cut off before it can use up our file handles.
        if (clients_ >= kMaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        connect(socket, &QObject::destroyed, this, [this] { --clients_; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A client that does not finish its message in time is cut off.
        QTimer::singleShot(kClientTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        Read(socket);
    }
}

void SingleInstance::Read(QLocalSocket* socket)
{
    if (socket->bytesAvailable() > kMaxMessageBytes) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    // The list is read string by string: its count is checked before
    // anything is made for it.
    QDataStream in(socket);
    in.startTransaction();
    quint32 magic = 0;
    quint32 count = 0;
    in >> magic >> count;
    if (in.status() == QDataStream::Ok && (magic != kHandOverMagic || count > kMaxPaths)) {
        socket->abort();
        return;
    }
    QStringList books;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString book;
        in >> book;
        books.append(book);
    }
    if (!in.commitTransaction())
        return;  // the rest is still on its way
    socket->putChar(kReceipt);
    socket->flush();
    socket->disconnectFromServer();
    // Opened after this handler has returned: a load runs the event loop.
    if (receiver_)
        QTimer::singleShot(0, this, [this, books] { receiver_(books); });
    else
        waiting_.append(books);
}

void BringToFront(QWidget& window)
{
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}
