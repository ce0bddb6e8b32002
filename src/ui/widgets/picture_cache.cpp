#include "ui/widgets/picture_cache.h"

#include <QFileInfo>
#include <QImageReader>

QImage PictureCache::Load(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QImage();
    const auto found = entries_.constFind(path);
    if (found != entries_.cend() && found->modified == info.lastModified() && found->size == info.size())
        return found->image;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    ++decodes_;
    if (image.isNull())
        return image;
    entries_.insert(path, Entry{info.lastModified(), info.size(), image});
    return image;
}
