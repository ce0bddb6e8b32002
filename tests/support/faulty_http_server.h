#pragma once

// An HTTP server on 127.0.0.1 for the faults a real server shows only when
// it is having a bad day: no answer at all, an answer cut off halfway, or
// an error status. It serves from the event loop of the thread that made
// it, so the test waits with QTRY_* or QSignalSpy::wait meanwhile.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <memory>

class FaultyHttpServer : public QObject {
public:
    enum class Fault {
        NeverAnswer,  // reads the request and says nothing: the client's timeout
        CutResponse,  // "200 OK" for 1000 bytes, then 100 of them and the connection closed
        Status,       // the status given (500, 503, 507, 401 asking for Basic, 403, 404...) with a short body
    };

    explicit FaultyHttpServer(Fault fault, int status = 500) : fault_(fault), status_(status)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                Serve(socket);
        });
    }

    QUrl Url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/dav/").arg(server_.serverPort())); }
    // The requests read in full so far.
    int Requests() const { return requests_; }

private:
    void Serve(QTcpSocket* socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            // One request at a time, body included: an answer sent before
            // the body is read would reach the client as a reset connection.
            for (qsizetype size = RequestSize(*received);
                 size > 0 && socket->state() == QAbstractSocket::ConnectedState; size = RequestSize(*received)) {
                received->remove(0, size);
                ++requests_;
                Answer(socket);
            }
        });
    }

    // The length of the first request when it has all arrived, else 0.
    static qsizetype RequestSize(const QByteArray& received)
    {
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return 0;
        qsizetype body = 0;
        for (const QByteArray& line : received.left(end).split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                body = line.mid(15).trimmed().toLongLong();
        }
        const qsizetype size = end + 4 + body;
        return received.size() >= size ? size : 0;
    }

    void Answer(QTcpSocket* socket) const
    {
        switch (fault_) {
        case Fault::NeverAnswer: return;
        case Fault::CutResponse:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: 1000\r\n"
                          "ETag: \"cut\"\r\n\r\n"
                          + QByteArray(100, 'x'));
            socket->disconnectFromHost();
            return;
        case Fault::Status: {
            const QByteArray body = "fault " + QByteArray::number(status_) + '\n';
            QByteArray head = "HTTP/1.1 " + QByteArray::number(status_) + ' ' + Reason(status_)
                + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
                + "\r\nConnection: close\r\n";
            if (status_ == 401)
                head += "WWW-Authenticate: Basic realm=\"x\"\r\n";
            socket->write(head + "\r\n" + body);
            socket->disconnectFromHost();
            return;
        }
        }
    }

    static QByteArray Reason(int status)
    {
        switch (status) {
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 409: return "Conflict";
        case 412: return "Precondition Failed";
        case 500: return "Internal Server Error";
        case 502: return "Bad Gateway";
        case 503: return "Service Unavailable";
        case 507: return "Insufficient Storage";
        default: return "Fault";
        }
    }

    Fault fault_;
    int status_;
    int requests_ = 0;
    QTcpServer server_;
};
