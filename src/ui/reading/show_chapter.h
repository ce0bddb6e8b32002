#pragma once

#include "core/books/book_store.h"

#include <QString>

#include <optional>

class ReaderView;
class ReadingPane;

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

// The contents view opening a book leaves: CR LF and a title for every
// chapter, appended to whatever the pane held.
QString AppendedContentsText(const Book& book);

// The chapter whose title stands on line `line` of the pane, when the pane
// shows a contents view of `book` in either form: ShowChapter's (line j is
// chapter j) or the one opening a book leaves (the titles are its last
// lines). Nothing for any other line or any other text.
std::optional<int> ChapterOnContentsLine(const Book& book, const ReadingPane& pane, qsizetype line);
