#include "core/books/book_contents.h"

QString ContentsTitles::Next(const ChapterEntry& entry)
{
    if (entry.Volume) {
        inVolume_ = true;
        volume_ = entry.Shown();
        return entry.Shown();
    }
    return inVolume_ ? QString::fromUtf16(kVolumeIndent) + entry.Shown() : entry.Shown();
}

QString ContentsText(const Book& book)
{
    QString text;
    ContentsTitles titles;
    for (const ChapterEntry& entry : book.Chapters) {
        text += titles.Next(entry);
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString AppendedContentsText(const Book& book)
{
    QString text;
    ContentsTitles titles;
    for (const ChapterEntry& entry : book.Chapters) {
        text += QStringLiteral("\r\n");
        text += titles.Next(entry);
    }
    return text;
}
