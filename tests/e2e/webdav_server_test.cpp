// The WebDAV server the sync tests lean on: it keeps what is put, refuses
// writes whose conditions fail, and comes back after a kill with its files.

#include "support/webdav_server.h"

#include <gtest/gtest.h>

namespace {

struct Reply {
    int status = 0;
    QByteArray headers;
    QByteArray body;
};

// One request by hand, HTTP/1.0 so the answer is neither chunked nor kept
// alive: it ends when the server closes the connection.
Reply Send(const WebDavServer& server, const QByteArray& method, const QByteArray& name, const QByteArray& body = {},
           const QByteArray& headers = {})
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.Url().port());
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(method + ' ' + server.Url().path().toUtf8() + name + " HTTP/1.0\r\nAuthorization: Basic "
                 + QByteArray("reader:secret").toBase64() + "\r\nContent-Length: " + QByteArray::number(body.size())
                 + "\r\n" + headers + "\r\n" + body);
    QByteArray answer;
    while (socket.waitForReadyRead(5000))
        answer += socket.readAll();
    answer += socket.readAll();
    const qsizetype end = answer.indexOf("\r\n\r\n");
    return {answer.mid(9, 3).toInt(), answer.left(end), end < 0 ? QByteArray() : answer.mid(end + 4)};
}

QByteArray ETag(const QByteArray& headers)
{
    for (const QByteArray& line : headers.split('\n')) {
        if (line.toLower().startsWith("etag:"))
            return line.mid(5).trimmed();
    }
    return {};
}

TEST(WebDavServer, KeepsFilesAndHonoursConditionsAcrossARestart)
{
    if (const QString why = WebDavServer::Unavailable(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    WebDavServer server;
    QString why;
    ASSERT_TRUE(server.Start(&why)) << why.toStdString();

    const QByteArray book = QStringLiteral("第一章 开始\n正文\n").toUtf8();
    ASSERT_EQ(Send(server, "PUT", "book.txt", "first").status, 201) << server.ErrorLog().toStdString();
    EXPECT_EQ(Send(server, "PUT", "book.txt", book, "If-Match: \"stale\"\r\n").status, 412);
    EXPECT_EQ(Send(server, "PUT", "book.txt", book, "If-None-Match: *\r\n").status, 412);

    // The listing's ETag is the file's, strong at once: a write on it passes.
    const QByteArray etag = ETag(Send(server, "GET", "book.txt").headers);
    ASSERT_FALSE(etag.isEmpty());
    const Reply listing = Send(server, "PROPFIND", "", {}, "Depth: 1\r\n");
    EXPECT_EQ(listing.status, 207);
    EXPECT_TRUE(listing.body.contains("<D:href>/dav/book.txt</D:href>")) << listing.body.toStdString();
    EXPECT_TRUE(listing.body.contains("getetag>" + etag + "</")) << listing.body.toStdString();
    EXPECT_EQ(Send(server, "PUT", "book.txt", book, "If-Match: " + etag + "\r\n").status, 204);

    server.Kill();
    EXPECT_FALSE(server.Running());
    ASSERT_TRUE(server.Start(&why)) << why.toStdString();
    const Reply back = Send(server, "GET", "book.txt");
    EXPECT_EQ(back.status, 200);
    EXPECT_EQ(back.body, book);
}

}  // namespace
