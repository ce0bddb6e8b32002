#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>

// Decoded pictures by path. A picture is read again only when its file
// changed (size or modification time), so redrawing the skin at every
// chapter step does not decode the same JPEG again.
class PictureCache {
public:
    // The picture at `path`; a null image when it cannot be loaded.
    QImage Load(const QString& path);
    int Decodes() const { return decodes_; }

private:
    struct Entry {
        QDateTime modified;
        qint64 size = -1;
        QImage image;
    };
    QHash<QString, Entry> entries_;
    int decodes_ = 0;
};
