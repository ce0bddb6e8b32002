#pragma once

#include "core/books/book_store.h"

#include <QString>

class ReaderView;

// Puts the current chapter of the current book, or its contents view, into
// the reading pane, sets the window caption and applies the current skin.
// An index out of range shows the contents view.
void ShowChapter(ReaderView& view);

// Rebuilds the chapter menu for the current book. A book without headings
// gets the "本书无目录，属于通篇浏览!" message and goes back to chapter 0.
void BuildChapterMenu(ReaderView& view);

// Lists the chapters of book `slot` in the chapter menu, without message.
// Nothing is rebuilt when the menu already lists exactly these chapters.
void ListChapters(ReaderView& view, int slot);

// The contents view: every chapter title followed by CR LF.
QString ContentsText(const Book& book);
