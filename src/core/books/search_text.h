#pragma once

#include "core/books/reader_state.h"

#include <QList>
#include <QString>

#include <cstdint>

// What the search needs from the reading pane. Offsets are the reader's:
// CR LF counts as two characters.
class SearchPane {
public:
    virtual ~SearchPane() = default;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void Select(qsizetype start, qsizetype length) = 0;
    // Shows the current chapter of the current book (and its caption).
    virtual void ShowChapter() = 0;
    // Chapter `chapter` of `book` as the pane would show it: in the script
    // chosen for the book, as long as the file's text, so offsets hold.
    virtual QString ChapterText(const Book& book, int chapter) { return book.ChapterTexts[chapter]; }
};

// The three places a search can cover.
enum class SearchScope {
    Pane = 1,      // the pane's text, from the offset down
    Book = 2,      // the book, from the chapter and offset on
    AllBooks = 3,  // every open book, from the book, chapter and offset on
};

// Where the last search left the reader: a book slot, a chapter of that
// book (-1, the contents view, counts as chapter 0) and an offset into the
// text searched first.
struct SearchCursor {
    std::int64_t book = 0;
    std::int64_t chapter = 0;
    std::int64_t offset = 0;
};

// Error numbers the find dialog reports, with their descriptions.
inline constexpr int kInvalidArgument = 5;  // an offset outside the text searched
inline constexpr int kOutOfMemory = 7;
inline constexpr int kNoSuchIndex = 9;  // a book or chapter that is not there
inline constexpr int kInternalError = 51;
QString ErrorDescription(int number);

struct SearchResult {
    bool found = false;
    int error = 0;  // 0 = none

    // What the error box says: the number immediately followed by its description.
    QString ErrorText() const { return QString::number(error) + ErrorDescription(error); }
};

// Looks for the first occurrence of `findWhat` (exact, case-sensitive) from
// the cursor on, without wrapping around, in the text as shown (titles and
// chapters in the script chosen for each book). In the chapter the search starts
// in only the body is searched, from the offset; in every later chapter the
// heading is tested before the body. A hit makes its book and chapter
// current, shows the chapter and selects the occurrence (a heading hit
// selects nothing). An empty `findWhat` finds nothing and changes nothing.
//
// An error is reported before anything changed, with one exception the
// scope itself implies: the book scope puts the start chapter's body into
// the pane before it searches it, so an offset past that body's end is
// found after the pane changed.
SearchResult SearchText(ReaderState& state, SearchPane& pane, const QString& findWhat, SearchScope scope,
                        const SearchCursor& cursor);

// Where the pane's caret is after ShowChapter, and so where a search that
// goes on after a heading hit starts in that chapter's body.
inline constexpr qsizetype kCaretAfterShow = 1;

// The occurrences a run of searches walks through in one body: the first
// at or after `from`, then each first one after the end of the last.
QList<qsizetype> OccurrencesFrom(const QString& body, const QString& findWhat, qsizetype from);
// Where repeated searches that enter a chapter (not the one they started
// in) look in its body: after its heading when the heading holds the text.
qsizetype BodyStartAfterHeading(const QString& title, const QString& findWhat, const QString& body);

// The previous hit: the same scopes, walked backwards, so that the hits
// found one after the other from the end of a scope are those SearchText
// finds from its start, in reverse order. A scope starts where the find
// dialog starts it (the pane's text, chapter 0 of the book, book 1), whose
// first chapter's heading is never tested. `cursor.offset` is where the
// hit being left starts: occurrences starting before it count; -1 stands
// for the chapter's heading, so the search goes on in the chapter before.
// Hits change the state as SearchText's do.
SearchResult SearchTextBackward(ReaderState& state, SearchPane& pane, const QString& findWhat, SearchScope scope,
                                const SearchCursor& cursor);
