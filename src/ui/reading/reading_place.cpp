#include "ui/reading/reading_place.h"

#include "ui/reading/reader_view.h"
#include "ui/widgets/reading_pane.h"

namespace {

// Whether the pane shows chapter `chapter` of `book`, as ShowChapter put it there.
bool ShowsChapter(const ReadingPane& pane, const Book& book, int chapter)
{
    return chapter >= 0 && chapter <= book.LastChapter() && pane.Shows(book.ChapterTexts[chapter]);
}

}  // namespace

void RememberPlace(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    Book& book = state.Current();
    const ReadingPane& pane = view.Pane();
    if (ShowsChapter(pane, book, book.ChapterIndex)) {
        // A place scrolled to and not moved from since stays as it was:
        // after a bigger font or a narrower window its line on screen
        // starts earlier, and noting that start would move the place back
        // a little at every start.
        const bool unmoved = book.Place.Chapter == book.ChapterIndex && pane.ShowsAtTop(book.Place.Offset);
        book.Place = {book.ChapterIndex, unmoved ? book.Place.Offset : pane.FirstVisibleOffset()};
    } else if (book.ChapterIndex == -1) {
        book.Place = {};
    }
}

void ReturnToPlace(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    const Book& book = state.Current();
    if (book.Place.Chapter == book.ChapterIndex && ShowsChapter(view.Pane(), book, book.ChapterIndex))
        view.Pane().ScrollToOffset(book.Place.Offset);
}
