#pragma once

#include <QString>

struct LoadResult;
class ReaderView;

// How a load came out for the command that asked for it.
struct LoadCheck {
    enum class Kind {
        Book,       // the book is in the store (perhaps cut off, which was reported)
        Failed,     // nothing to show; the user was told why, or the program is closing
        StoreFull,  // the store holds its 255 books already; nobody was told yet
    };
    Kind kind = Kind::Failed;
    int slot = 0;  // the book's slot, for Kind::Book
};

// Reads a load's result for an open command. A missing file, a file that
// exists but cannot be read, and a book cut off at the last chapter the
// store can number are reported in a "提示" box; a full store is left to
// the caller (the folder scan sums it up once).
LoadCheck CheckLoad(ReaderView& view, const QString& path, const LoadResult& result);

// What the open commands say when the store is full ("溢出").
QString StoreFullText();

// Lists the current book in the books menu unless an item already carries
// its file name; the first book takes over the placeholder "空".
void RegisterInBooksMenu(ReaderView& view);

// Appends CR LF and every chapter title of the current book to the pane,
// applies the skin and selects the contents view. The title panel ends as
// a redraw after each title would leave it: "目录" for a book of several
// chapters, the loader's chapter for a book of one.
void AppendContents(ReaderView& view);
