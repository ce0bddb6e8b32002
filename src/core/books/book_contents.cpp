#include "core/books/book_contents.h"

QString ContentsText(const Book& book)
{
    QString text;
    for (const ChapterEntry& entry : book.Chapters) {
        text += entry.Title;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString AppendedContentsText(const Book& book)
{
    QString text;
    for (const ChapterEntry& entry : book.Chapters) {
        text += QStringLiteral("\r\n");
        text += entry.Title;
    }
    return text;
}
