#pragma once

#include "core/books/book_store.h"

#include <QString>

#include <optional>

class ReadingPane;

// The chapter menu lists this book's chapters as they were last listed, so
// a step inside the same book does not rebuild thousands of entries.
struct ChapterMenuKey {
    int book = -1;
    int chapters = -1;
    QString lastTitle;
    bool operator==(const ChapterMenuKey&) const = default;
};

// The chapter whose title stands on line `line` of the pane, when the pane
// shows a contents view of `book` in either form: ShowChapter's (line j is
// chapter j) or the one opening a book leaves (the titles are its last
// lines). Nothing for any other line or any other text.
std::optional<int> ChapterOnContentsLine(const Book& book, const ReadingPane& pane, qsizetype line);
