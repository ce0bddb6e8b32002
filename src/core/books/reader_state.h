#pragma once

#include "core/books/book_store.h"
#include "core/skins/skin_table.h"

#include <cstdint>

// The state the whole program shares, made once at start-up and handed by
// reference to whatever needs it (every test builds its own).
struct ReaderState {
    BookStore Books;
    std::int16_t CurrentBook = 0;  // slot of the book being read; 0 = none
    std::int16_t LoadingBook = 0;  // -1 while an open command is inside the loader
    SkinTable Skins;
    std::uint8_t CurrentSkin = 0;  // 0 = no skin in use
    // The night skin shown over every book's own while night mode is on;
    // 0 = off. Books keep their own skin meanwhile.
    std::uint8_t NightSkin = 0;

    Book& Current() { return Books[CurrentBook]; }
    const Book& Current() const { return Books[CurrentBook]; }
    // The book being read, or null when there is none.
    Book* CurrentOrNull() { return Books.BookAt(CurrentBook); }
    const Book* CurrentOrNull() const { return Books.BookAt(CurrentBook); }
    // A setting of the skin shown (empty when unset or no skin is in use).
    QString Skin(const QString& key) const
    {
        return GetSkinValue(Skins, NightSkin != 0 ? NightSkin : CurrentSkin, key, 0);
    }
};
