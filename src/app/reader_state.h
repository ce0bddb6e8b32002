#pragma once

#include "app/book_store.h"

#include <cstdint>

// The state the whole program shares, made once at start-up and handed by
// reference to whatever needs it (every test builds its own).
struct ReaderState {
    BookStore Books;
    std::int16_t CurrentBook = 0;   // slot of the book being read; 0 = none
    std::int16_t LoadingBook = 0;   // -1 while an open command is inside the loader

    Book& Current() { return Books[CurrentBook]; }
};
