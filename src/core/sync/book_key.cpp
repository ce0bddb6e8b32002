#include "core/sync/book_key.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

constexpr qint64 kBlock = 64 * 1024;

}  // namespace

QString BookKeyOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray first = file.read(kBlock);
    if (first.size() != std::min(size, kBlock))
        return {};
    hash.addData(first);
    if (size > kBlock) {
        const qint64 lastStart = std::max(kBlock, size - kBlock);
        if (!file.seek(lastStart))
            return {};
        const QByteArray last = file.read(size - lastStart);
        if (last.size() != size - lastStart)
            return {};
        hash.addData(last);
    }
    return QString::number(size) + QLatin1Char('-') + QString::fromLatin1(hash.result().toHex().left(32));
}
