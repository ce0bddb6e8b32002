#pragma once

#include "core/books/book_store.h"

#include <cstdint>

// A place in a book as a line of its file and a column in that line: the
// same however the book is split into chapters.
struct LinePlace {
    std::int32_t line = 0;
    qsizetype column = 0;
    bool operator==(const LinePlace&) const = default;
};

// The line and column of a place in the book as it is split now.
LinePlace LineOfPlace(const Book& book, const ReadingPlace& place);

// The place of a line and column in the book as it is split now: in the
// chapter that holds the line (its start, for a heading line).
ReadingPlace PlaceOfLine(const Book& book, const LinePlace& at);

// For a book split by a rule: the place as the built-in recogniser's
// chapters number it, which the settings files keep; and back. A book split
// by the built-in recogniser has the same place both ways.
ReadingPlace BuiltInPlace(const Book& book, const ReadingPlace& place);
ReadingPlace PlaceOfBuiltInPlace(const Book& book, const ReadingPlace& builtIn);
