#include "core/files/text_file_writer.h"

#include "core/text/text_decoder.h"

#include <QSaveFile>

namespace {

FileWriteResult Failed(const QString& reason)
{
    return {false, reason};
}

}  // namespace

FileWriteResult WriteGb18030File(const QString& path, QStringView text)
{
    const QByteArray bytes = EncodeGb18030(text);
    if (bytes.isNull() && !text.isEmpty())
        return Failed(QStringLiteral("含有无法用 GB18030 编码保存的文字"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failed(file.errorString());
    // Writes are buffered: a full disk shows only when the buffer is
    // flushed, and commit() would rename a short file over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Failed(reason);
    }
    if (!file.commit())
        return Failed(file.errorString());
    return {true, QString()};
}
