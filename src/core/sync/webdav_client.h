#pragma once

#include <QByteArray>
#include <QHash>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

// The few WebDAV requests the sync needs, each waited for on the calling
// thread (a sync worker, never the window's): a folder's listing with
// tags, whole files read and written, a folder made. Writing is
// conditional on the file's tag, so a file changed meanwhile is never
// overwritten unseen.
class WebDavClient {
public:
    struct Reply {
        int status = 0;  // the HTTP status; 0: no answer came
        bool timedOut = false;
        QString error;  // the network's words when no whole answer came
        QByteArray body;
        QByteArray etag;
        bool Ok() const { return status >= 200 && status < 300 && error.isEmpty(); }
    };

    // `folder` ends with a slash; every name below is relative to it.
    WebDavClient(const QUrl& folder, const QString& user, const QString& password, int timeoutMs);

    // The files of the folder (Depth 1) with their tags, by name.
    Reply List(QHash<QString, QByteArray>* files);
    Reply Get(const QString& name);
    // Writes `name` only when its tag is still `etag`; an empty `etag`:
    // only when there is no such file yet.
    Reply Put(const QString& name, const QByteArray& body, const QByteArray& etag);
    // The folder itself (MKCOL), or `name` below it.
    Reply MakeFolder(const QString& name = {});

    qint64 BytesSent() const { return sent_; }
    qint64 BytesReceived() const { return received_; }

    // The names and tags of a PROPFIND answer's files (folders left out).
    static QHash<QString, QByteArray> ParseListing(const QByteArray& multistatus);

private:
    Reply Send(QNetworkRequest request, const QByteArray& verb, const QByteArray& body);
    QNetworkRequest Request(const QString& name) const;

    QNetworkAccessManager network_;
    QUrl folder_;
    QByteArray authorization_;
    int timeoutMs_;
    qint64 sent_ = 0;
    qint64 received_ = 0;
};
