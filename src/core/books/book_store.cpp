#include "core/books/book_store.h"

int BookStore::FindByPath(const QString& path) const
{
    for (int slot = 1; slot <= Count(); ++slot) {
        if (slots_[slot].Path == path)
            return slot;
    }
    return 0;
}

int BookStore::Add(const QString& path, const QString& fileName)
{
    if (Count() >= kMaxBooks)
        return 0;
    Book& book = slots_.emplace_back();
    book.Path = path;
    book.FileName = fileName;
    book.Chapters.emplace_back();
    book.ChapterTexts.emplace_back();
    return Count();
}
