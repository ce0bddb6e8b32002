#pragma once

#include <QString>

class ReaderView;

// Loads a book with the splash shown, lists its chapters in the pane and
// the chapter menu, and registers it in the books menu. A failed load is
// reported in a "提示" box and changes nothing.
void OpenBook(ReaderView& view, const QString& path);

// Lists the current book in the books menu unless an item already carries
// its file name; the first book takes over the placeholder "空".
void RegisterInBooksMenu(ReaderView& view);

// Appends CR LF and every chapter title of the current book to the pane,
// applies the skin and selects the contents view.
void AppendContents(ReaderView& view);
