#include "core/books/search_text.h"

#include <algorithm>
#include <limits>

namespace {

// The start chapter of a book search: -1 (the contents view) reads as 0.
// Returns false for a book or chapter that is not there.
bool StartChapter(const ReaderState& state, const SearchCursor& cursor, int& chapter)
{
    if (cursor.book < 1 || cursor.book > state.Books.Count())
        return false;
    const std::int64_t c = cursor.chapter == -1 ? 0 : cursor.chapter;
    if (c < 0 || c > state.Books[static_cast<int>(cursor.book)].LastChapter())
        return false;
    chapter = static_cast<int>(c);
    return true;
}

// The first occurrence in `text` after `offset` characters: its index, -1
// when there is none, or an error for an offset outside the text.
struct OffsetHit {
    int error = 0;
    qsizetype at = -1;
};

OffsetHit FindFromOffset(const QString& text, const QString& findWhat, std::int64_t offset)
{
    if (offset < 0 || offset > text.size())
        return {kInvalidArgument, -1};
    return {0, text.indexOf(findWhat, offset)};
}

// Makes chapter `chapter` of book `slot` current and shows it; selects the
// occurrence at `at` unless it is -1 (a heading hit).
void ShowHit(ReaderState& state, SearchPane& pane, int slot, int chapter, qsizetype at, qsizetype length)
{
    state.CurrentBook = static_cast<std::int16_t>(slot);
    state.Books[slot].ChapterIndex = chapter;
    pane.ShowChapter();
    if (at >= 0)
        pane.Select(at, length);
}

// Chapters `from` to the last of book `slot`, heading before body. The
// chapter a search starts in is never passed here.
bool SearchChapters(ReaderState& state, SearchPane& pane, const QString& findWhat, int slot, int from)
{
    for (int n = from; n <= state.Books[slot].LastChapter(); ++n) {
        const Book& book = state.Books[slot];
        if (book.Chapters[n].Shown().contains(findWhat)) {
            ShowHit(state, pane, slot, n, -1, 0);
            return true;
        }
        const qsizetype at = pane.ChapterText(book, n).indexOf(findWhat);
        if (at >= 0) {
            ShowHit(state, pane, slot, n, at, findWhat.size());
            return true;
        }
    }
    return false;
}

SearchResult Found()
{
    return {true, 0};
}
SearchResult NotFound()
{
    return {false, 0};
}
SearchResult Failed(int error)
{
    return {false, error};
}

}  // namespace

QString ErrorDescription(int number)
{
    switch (number) {
    case kInvalidArgument: return QStringLiteral("无效的过程调用或参数");
    case kOutOfMemory: return QStringLiteral("内存不足");
    case kNoSuchIndex: return QStringLiteral("下标越界");
    case kInternalError: return QStringLiteral("内部错误");
    default: return QStringLiteral("应用程序定义的错误或对象定义的错误");
    }
}

QList<qsizetype> OccurrencesFrom(const QString& body, const QString& findWhat, qsizetype from)
{
    QList<qsizetype> found;
    if (findWhat.isEmpty())
        return found;
    for (qsizetype at = body.indexOf(findWhat, from); at >= 0; at = body.indexOf(findWhat, at + findWhat.size()))
        found.append(at);
    return found;
}

qsizetype BodyStartAfterHeading(const QString& title, const QString& findWhat, const QString& body)
{
    return title.contains(findWhat) ? std::min(kCaretAfterShow, body.size()) : 0;
}

namespace {

// The last occurrence of the walk through `body` from `from` that starts
// before `before`; -1 when there is none.
qsizetype LastBefore(const QString& body, const QString& findWhat, qsizetype from, qsizetype before)
{
    qsizetype last = -1;
    for (qsizetype at = body.indexOf(findWhat, from); at >= 0 && at < before;
         at = body.indexOf(findWhat, at + findWhat.size()))
        last = at;
    return last;
}

// Chapter `chapter` of book `slot` and the chapters before it, body
// before heading. `before` bounds the first chapter's body (-1: the hit
// being left is that chapter's heading, so it goes on in the chapter
// before). The scope's first chapter (`scopeStart`: chapter 0 of its first
// book) is entered at its body, so its heading is not tested.
bool SearchChaptersBack(ReaderState& state, SearchPane& pane, const QString& findWhat, int slot, int chapter,
                        qsizetype before, bool scopeStart)
{
    for (int n = chapter; n >= 0; --n) {
        if (n == chapter && before < 0)
            continue;
        const Book& book = state.Books[slot];
        const QString body = pane.ChapterText(book, n);
        const QString& title = book.Chapters[n].Shown();
        const bool headingTested = !(scopeStart && n == 0);
        const qsizetype from = headingTested ? BodyStartAfterHeading(title, findWhat, body) : 0;
        const qsizetype at = LastBefore(body, findWhat, from, n == chapter ? before : body.size() + 1);
        if (at >= 0) {
            ShowHit(state, pane, slot, n, at, findWhat.size());
            return true;
        }
        if (headingTested && title.contains(findWhat)) {
            ShowHit(state, pane, slot, n, -1, 0);
            return true;
        }
    }
    return false;
}

}  // namespace

SearchResult SearchTextBackward(ReaderState& state, SearchPane& pane, const QString& findWhat, SearchScope scope,
                                const SearchCursor& cursor)
{
    if (findWhat.isEmpty())
        return NotFound();
    const std::int64_t o = cursor.offset;
    if (scope == SearchScope::Pane) {
        const QString text = pane.Text();
        if (o < 0 || o > text.size())
            return Failed(kInvalidArgument);
        const qsizetype at = LastBefore(text, findWhat, 0, o);
        if (at < 0)
            return NotFound();
        pane.Select(at, findWhat.size());
        return Found();
    }
    int c = 0;
    if (!StartChapter(state, cursor, c))
        return Failed(kNoSuchIndex);
    const int b = static_cast<int>(cursor.book);
    if (o < -1 || o > pane.ChapterText(state.Books[b], c).size())
        return Failed(kInvalidArgument);
    const int firstBook = scope == SearchScope::AllBooks ? 1 : b;
    for (int j = b; j >= firstBook; --j) {
        const int last = state.Books[j].LastChapter();
        const qsizetype before = j == b ? o : std::numeric_limits<qsizetype>::max();
        if (SearchChaptersBack(state, pane, findWhat, j, j == b ? c : last, before, j == firstBook))
            return Found();
    }
    return NotFound();
}

SearchResult SearchText(ReaderState& state, SearchPane& pane, const QString& findWhat, SearchScope scope,
                        const SearchCursor& cursor)
{
    if (findWhat.isEmpty())
        return NotFound();
    const std::int64_t o = cursor.offset;
    switch (scope) {
    case SearchScope::Pane: {
        const OffsetHit hit = FindFromOffset(pane.Text(), findWhat, o);
        if (hit.error != 0)
            return Failed(hit.error);
        if (hit.at < 0)
            return NotFound();
        pane.Select(hit.at, findWhat.size());
        return Found();
    }
    case SearchScope::Book: {
        int c = 0;
        if (!StartChapter(state, cursor, c))
            return Failed(kNoSuchIndex);
        const int b = static_cast<int>(cursor.book);
        // The start chapter's body goes into the pane first and stays there
        // when nothing is found.
        const QString body = pane.ChapterText(state.Books[b], c);
        pane.SetText(body);
        const OffsetHit hit = FindFromOffset(body, findWhat, o);
        if (hit.error != 0)
            return Failed(hit.error);
        if (hit.at >= 0) {
            ShowHit(state, pane, b, c, hit.at, findWhat.size());
            return Found();
        }
        return SearchChapters(state, pane, findWhat, b, c + 1) ? Found() : NotFound();
    }
    case SearchScope::AllBooks: {
        int c = 0;
        if (!StartChapter(state, cursor, c))
            return Failed(kNoSuchIndex);
        const int b = static_cast<int>(cursor.book);
        const OffsetHit hit = FindFromOffset(pane.ChapterText(state.Books[b], c), findWhat, o);
        if (hit.error != 0)
            return Failed(hit.error);
        if (hit.at >= 0) {
            ShowHit(state, pane, b, c, hit.at, findWhat.size());
            return Found();
        }
        const int last = state.Books.Count();
        for (int j = b; j <= last; ++j) {
            if (SearchChapters(state, pane, findWhat, j, j == b ? c + 1 : 0))
                return Found();
        }
        return NotFound();
    }
    }
    return Failed(kInvalidArgument);
}
