#include "core/files/text_file_writer.h"

#include "core/text/text_decoder.h"

#include <QSaveFile>

bool WriteGb18030File(const QString& path, QStringView text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = EncodeGb18030(text);
    if (bytes.isNull() && !text.isEmpty())
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
