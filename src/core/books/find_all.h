#pragma once

#include "core/books/search_text.h"
#include "core/text/script_converter.h"
#include "core/text/text_encoding.h"

#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// One occurrence as the list of all hits shows it.
struct FoundHit {
    int book = 0;           // the book's slot; in the library, the file's index in the list
    int chapter = 0;        // 0 for the pane's text
    qsizetype offset = -1;  // in the chapter's text as shown; -1: the chapter's heading
    qsizetype length = 0;
    QString title;    // the chapter's title as shown
    QString context;  // the line around the occurrence, cut to a few dozen characters

    bool InHeading() const { return offset < 0; }
};

// An open book as a search on a worker sees it: copies of its titles (as
// shown) and chapter texts (as the file has them; QString shares them, so
// the copy costs nothing and stays valid whatever the reader does).
struct FindBook {
    int slot = 0;
    std::vector<QString> titles;
    std::vector<QString> texts;
    ScriptChoice script = ScriptChoice::None;  // texts are shown converted
};

// Everything a search for all hits of a scope reads.
struct FindAllInput {
    QString findWhat;
    SearchScope scope = SearchScope::Book;
    SearchCursor cursor;  // where the scope starts, as SearchText takes it
    QString paneText;     // the pane scope's text
    // The scope's books, in slot order, from the cursor's book on.
    std::vector<FindBook> books;
};

// How a search for all hits ended: stopped (cancelled), or an error (as
// SearchText reports it, before any hit).
struct FindAllEnd {
    bool stopped = false;
    int error = 0;
};

using HitBatch = std::function<void(QList<FoundHit>)>;

// The line around `length` characters at `offset` of `text`.
QString HitContext(const QString& text, qsizetype offset, qsizetype length);

// Every hit SearchText finds when it is run again and again from the
// scope's start, each time from where the last hit left the cursor (the end
// of a body hit; after a heading hit, the caret ShowChapter leaves), in the
// same order. Hits are handed to `deliver` in batches: the first as soon as
// there is one, then every few milliseconds. Looks at `stop` between
// chapters and batches. Runs on any thread; reads nothing but `input`.
FindAllEnd FindAll(const FindAllInput& input, const HitBatch& deliver, const std::atomic<bool>& stop);

// A book file of the library, read in the encoding chosen for it.
struct LibraryFile {
    QString path;
    EncodingChoice encoding = EncodingChoice::Automatic;
};

struct FindProgress {
    int filesDone = 0;
    int files = 0;
    std::int64_t bytesDone = 0;
    std::int64_t bytes = 0;
    int unreadable = 0;  // files that are gone or could not be read
};

// Every hit in the files, in the files' order (a few are read at once),
// each read and split into chapters as opening it would (LoadTextFile):
// chapter by chapter, its heading when it holds the word, then every
// occurrence in its body. `progress` follows each file, `deliver` and
// `progress` are called on the calling thread. Stops between files and
// chapters when `stop` is set.
FindAllEnd FindInFiles(const QList<LibraryFile>& files, const QString& findWhat, const HitBatch& deliver,
                       const std::function<void(const FindProgress&)>& progress, const std::atomic<bool>& stop);
