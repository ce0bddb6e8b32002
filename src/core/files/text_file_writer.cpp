#include "core/files/text_file_writer.h"

#include "core/text/text_decoder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <unistd.h>

#include <utility>

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
    // A save file writes where a link points: a link planted where book.ini
    // goes would have the reader overwrite any file of the user's.
    if (QFileInfo(path).isSymLink())
        return Failed(QStringLiteral("这是一个符号链接，为安全起见没有写入"));
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

int RemoveStaleSaveFiles(const QString& folder)
{
    // book.ini and book.pos in the folder, the skins in its Skin/.
    static const QRegularExpression kSettings(QStringLiteral("^book\\.(ini|pos)\\.[A-Za-z0-9]{6}$"));
    static const QRegularExpression kSkins(QStringLiteral("^.+\\.ini\\.[A-Za-z0-9]{6}$"));
    int removed = 0;
    for (const auto& [sub, pattern] : {std::pair{QString(), &kSettings}, std::pair{QStringLiteral("Skin"), &kSkins}}) {
        const QDir dir(QDir(folder).filePath(sub));
        for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (!pattern->match(entry.fileName()).hasMatch() || entry.isSymLink() || entry.ownerId() != ::geteuid())
                continue;
            if (QFile::remove(entry.filePath()))
                ++removed;
        }
    }
    return removed;
}
