#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalSocket;
class QWidget;

// One reader per state folder, so that two readers never both write its
// book.ini. The first start holds a lock file and listens on a local
// socket, both named after the folder and kept in the user's private
// runtime folder, where no other user can plant or take them; a later start
// hands its books to it and ends. A lock left by a reader that died is
// taken over, and so is its socket.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        First,       // this start is the reader of the folder
        HandedOver,  // another reader took the books
        NoAnswer,    // another reader holds the folder but did not answer
    };

    explicit SingleInstance(const QString& stateFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the reader of the folder, or hands `books` to the reader that
    // is and waits for its receipt (at most `timeoutMs`).
    Role Claim(const QStringList& books, int timeoutMs = 3000);

    // Where the books of later starts go. Books that arrived before this
    // was set (while start-up was still loading) are delivered at once.
    void DeliverTo(std::function<void(const QStringList&)> receiver);

    // The name of the socket and lock file for a state folder.
    static QString KeyFor(const QString& stateFolder);
    // Where the socket is (the lock file beside it, with ".lock"); empty
    // when there is no private folder to keep it in.
    const QString& ServerPath() const { return serverPath_; }

    // What the reader takes from one start: its message at most this many
    // bytes, sent within this many milliseconds; at most this many starts
    // talk to it at once. Anything else is cut off, and serving goes on.
    static constexpr qint64 kMaxMessageBytes = 4 * 1024 * 1024;
    static constexpr int kClientTimeoutMs = 10000;
    static constexpr int kMaxClients = 16;
    static constexpr quint32 kMaxPaths = 10000;

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QString serverPath_;  // empty: no private folder, this reader runs alone
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    int clients_ = 0;
    QList<QStringList> waiting_;
    std::function<void(const QStringList&)> receiver_;
};

// Shows a window in front of the others, restored if minimized.
void BringToFront(QWidget& window);
