#include "core/books/search_text.h"

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
