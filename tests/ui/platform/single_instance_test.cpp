// The hand-over server of the first reader against clients that do not
// play by the rules: it cuts them off and goes on serving.

#include "support/as_nobody.h"
#include "support/test_files.h"
#include "ui/platform/single_instance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

QByteArray HandOver(quint32 count, const QStringList& books)
{
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << quint32(0x54585452) << count;
    for (const QString& book : books)
        out << book;
    return message;
}

std::unique_ptr<QLocalSocket> Send(const QString& key, const QByteArray& bytes)
{
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(key);
    EXPECT_TRUE(socket->waitForConnected(2000));
    socket->write(bytes);
    socket->flush();
    return socket;
}

bool CutOff(QLocalSocket& socket)
{
    return QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }, 5000);
}

TEST(HandOverServer, CutsOffClientsThatBreakTheRulesAndGoesOnServing)
{
    TempFolder state;
    SingleInstance first(state.Root());
    ASSERT_EQ(first.Claim({}), SingleInstance::Role::First);
    QList<QStringList> delivered;
    first.DeliverTo([&](const QStringList& books) { delivered.append(books); });
    const QString key = first.ServerPath();

    // A list that claims four thousand million paths, and a message too big.
    auto huge = Send(key, HandOver(0xFFFFFFFF, {}));
    EXPECT_TRUE(CutOff(*huge));
    auto big = Send(key, HandOver(1, {QString(SingleInstance::kMaxMessageBytes, u'书')}));
    EXPECT_TRUE(CutOff(*big));

    // Clients that send half a message and wait: beyond the limit they are
    // cut off at once.
    std::vector<std::unique_ptr<QLocalSocket>> hanging;
    for (int i = 0; i < SingleInstance::kMaxClients + 2; ++i)
        hanging.push_back(Send(key, HandOver(1, {}).left(6)));
    EXPECT_TRUE(CutOff(*hanging.back()));
    hanging.clear();

    // Once they have gone, a start is served again (the server hears of
    // their going in its own time: a start cut off meanwhile tries again).
    QByteArray receipt;
    const bool served = QTest::qWaitFor(
        [&] {
            auto good = Send(key, HandOver(1, {QStringLiteral("/书/甲.txt")}));
            const bool answered = QTest::qWaitFor(
                [&] { return good->bytesAvailable() > 0 || good->state() != QLocalSocket::ConnectedState; }, 1000);
            if (!answered)
                return false;
            receipt = good->read(1);
            return !receipt.isEmpty();
        },
        10000);
    ASSERT_TRUE(served);
    EXPECT_EQ(receipt, QByteArray("K"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delivered.isEmpty(); }, 5000));
    EXPECT_EQ(delivered, QList<QStringList>({{QStringLiteral("/书/甲.txt")}}));
}

// Another local user knows the folder's key: the names it could take in the
// shared temporary folder (a lock full of junk, the socket's name) change
// nothing, because the reader keeps both where only its user may go.
TEST(HandOverServer, AnotherUserCannotPlantTheLockOrTakeTheSocket)
{
    TempFolder state;
    const QDir temp(QDir::tempPath());
    const QString key = SingleInstance::KeyFor(state.Root());
    {
        AsNobody other;
        QFile lock(temp.filePath(key + QStringLiteral(".lock")));
        if (lock.open(QIODevice::WriteOnly))
            lock.write("junk\n");
        QFile socket(temp.filePath(key));
        if (socket.open(QIODevice::WriteOnly))
            socket.write("taken");
    }
    SingleInstance first(state.Root());
    EXPECT_EQ(first.Claim({}), SingleInstance::Role::First);
    const QFileInfo folder(QFileInfo(first.ServerPath()).path());
    EXPECT_NE(folder.absoluteFilePath(), temp.absolutePath());
    EXPECT_EQ(folder.ownerId(), ::geteuid());
    EXPECT_FALSE(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
    EXPECT_TRUE(QFileInfo::exists(first.ServerPath()));
    QFile::remove(temp.filePath(key + QStringLiteral(".lock")));
    QFile::remove(temp.filePath(key));
}

}  // namespace
