#include "core/sync/webdav_client.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QXmlStreamReader>

WebDavClient::WebDavClient(const QUrl& folder, const QString& user, const QString& password, int timeoutMs)
    : folder_(folder)
    , timeoutMs_(timeoutMs)
{
    // Sent with every request rather than after a 401, which would cost a
    // round trip each time.
    authorization_ = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    network_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QNetworkRequest WebDavClient::Request(const QString& name) const
{
    QNetworkRequest request(name.isEmpty() ? folder_ : folder_.resolved(QUrl(name)));
    request.setRawHeader("Authorization", authorization_);
    // Gives up when nothing moves for this long: a server that stopped
    // answering is noticed without waiting for the connection to die.
    request.setTransferTimeout(timeoutMs_);
    return request;
}

WebDavClient::Reply WebDavClient::Send(QNetworkRequest request, const QByteArray& verb, const QByteArray& body)
{
    // A request without a body is sent without one: an empty body device
    // left some requests waiting for their end.
    QNetworkReply* reply = nullptr;
    if (body.isEmpty() && verb != "PUT") {
        reply = network_.sendCustomRequest(request, verb);
    } else {
        request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
        reply = network_.sendCustomRequest(request, verb, body);
    }
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    Reply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.etag = reply->rawHeader("ETag");
    sent_ += body.size();
    received_ += result.body.size();
    const QNetworkReply::NetworkError error = reply->error();
    result.timedOut = error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError;
    // An HTTP error status is an answer; anything below those (refused,
    // cut off, timed out) means no whole answer came, whatever the status.
    if (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)
        result.error = result.timedOut ? QStringLiteral("服务器没有回应") : reply->errorString();
    reply->deleteLater();
    return result;
}

WebDavClient::Reply WebDavClient::List(QHash<QString, QByteArray>* files)
{
    QNetworkRequest request = Request({});
    request.setRawHeader("Depth", "1");
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml; charset=utf-8"));
    Reply reply = Send(request, "PROPFIND",
                       QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                         "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:getetag/></d:prop></d:propfind>"));
    if (reply.Ok() && files)
        *files = ParseListing(reply.body);
    return reply;
}

WebDavClient::Reply WebDavClient::Get(const QString& name)
{
    return Send(Request(name), "GET", {});
}

WebDavClient::Reply WebDavClient::Put(const QString& name, const QByteArray& body, const QByteArray& etag)
{
    QNetworkRequest request = Request(name);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    if (etag.isEmpty())
        request.setRawHeader("If-None-Match", "*");
    else
        request.setRawHeader("If-Match", etag);
    return Send(request, "PUT", body);
}

WebDavClient::Reply WebDavClient::MakeFolder(const QString& name)
{
    return Send(Request(name), "MKCOL", {});
}

QHash<QString, QByteArray> WebDavClient::ParseListing(const QByteArray& multistatus)
{
    QHash<QString, QByteArray> files;
    QXmlStreamReader xml(multistatus);
    QString href;
    QByteArray etag;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.namespaceUri() != QLatin1String("DAV:"))
            continue;
        if (xml.isStartElement() && xml.name() == QLatin1String("href")) {
            href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
        } else if (xml.isStartElement() && xml.name() == QLatin1String("getetag")) {
            etag = xml.readElementText().trimmed().toUtf8();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("response")) {
            if (!href.isEmpty() && !href.endsWith(QLatin1Char('/')) && !etag.isEmpty())
                files.insert(href.mid(href.lastIndexOf(QLatin1Char('/')) + 1), etag);
            href.clear();
            etag.clear();
        }
    }
    return files;
}
