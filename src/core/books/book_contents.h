#pragma once

#include "core/books/book_store.h"

#include <QString>

// The contents view: every chapter title followed by CR LF.
QString ContentsText(const Book& book);

// The contents view opening a book leaves: CR LF and a title for every
// chapter, appended to whatever the pane held.
QString AppendedContentsText(const Book& book);
