#include "ui/reading/reader.h"

#include "core/books/book_load.h"
#include "ui/reading/apply_skin.h"
#include "ui/reading/open_book.h"
#include "ui/reading/reader_view.h"
#include "ui/reading/reading_place.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/reading_pane.h"

#include <limits>

namespace {

// A book left on its contents view is entered at chapter 0.
void EnterBook(ReaderState& state)
{
    if (state.Books.IsBook(state.CurrentBook) && state.Current().ChapterIndex == -1)
        state.Current().ChapterIndex = 0;
}

}  // namespace

Reader::Reader(ReaderView& view, ReaderMemory& memory, QObject* parent) : QObject(parent), view_(view), memory_(memory)
{}

Reader::~Reader() = default;

// Every move ends here: the chapter menu first, then the chapter itself.
void Reader::AfterMove()
{
    BuildChapterMenu(view_);
    ShowChapter(view_);
}

// Adds `delta` to the chapter index unless that overflows; an overflow is
// a failing step, which is skipped. No bound is applied here: showing the
// chapter turns an index out of range into the contents view.
void Reader::StepChapter(int delta)
{
    ReaderState& state = view_.State();
    if (state.Books.IsBook(state.CurrentBook)) {
        Book& book = state.Current();
        const std::int64_t next = std::int64_t(book.ChapterIndex) + delta;
        if (next >= std::numeric_limits<std::int32_t>::min() && next <= std::numeric_limits<std::int32_t>::max())
            book.ChapterIndex = static_cast<std::int32_t>(next);
    }
    AfterMove();
}

void Reader::ShowContents()
{
    ReaderState& state = view_.State();
    if (state.Books.IsBook(state.CurrentBook))
        state.Current().ChapterIndex = -1;
    AfterMove();
}

// The book steps leave the skin in use as it is. The next-book bound is the
// number of books in the store: books sharing a file name share one menu
// item, and the last of them must stay reachable. The book stepped to comes
// back where it was being read.
void Reader::StepBook(int delta)
{
    ReaderState& state = view_.State();
    RememberPlace(view_);
    const int target = state.CurrentBook + delta;
    if (target >= 1 && target <= state.Books.Count()) {
        state.CurrentBook = static_cast<std::int16_t>(target);
        EnterBook(state);
    }
    AfterMove();
    ReturnToPlace(view_);
}

// A book chosen from the books menu comes back in its own skin, or takes
// the skin in use as its own, where it was being read.
void Reader::ShowBook(int slot)
{
    ReaderState& state = view_.State();
    if (!state.Books.IsBook(slot))
        return;
    RememberPlace(view_);
    state.CurrentBook = static_cast<std::int16_t>(slot);
    Book& book = state.Current();
    if (book.SkinIndex == 0)
        book.SkinIndex = state.CurrentSkin;
    else
        state.CurrentSkin = book.SkinIndex;
    EnterBook(state);
    AfterMove();
    ReturnToPlace(view_);
}

// The chapter menu, the contents view and 跳到章节 show a chapter of the
// current book without rebuilding the chapter menu.
void Reader::GoToChapter(std::int64_t chapter)
{
    ReaderState& state = view_.State();
    const bool fits =
        chapter >= std::numeric_limits<std::int32_t>::min() && chapter <= std::numeric_limits<std::int32_t>::max();
    if (state.Books.IsBook(state.CurrentBook) && fits)
        state.Current().ChapterIndex = static_cast<std::int32_t>(chapter);
    ShowChapter(view_);
}

void Reader::ChooseSkin(int index)
{
    ReaderState& state = view_.State();
    // An index beyond 255 does not fit: the skin in use stays, and the
    // remaining steps run with it.
    if (index >= 0 && index <= 255)
        state.CurrentSkin = static_cast<std::uint8_t>(index);
    if (state.Books.IsBook(state.CurrentBook))
        state.Current().SkinIndex = state.CurrentSkin;
    ApplySkin(view_);
}

void Reader::UseSkinNamed(const QString& name)
{
    ReaderState& state = view_.State();
    for (int i = 1; i <= state.Skins.Count() && i <= 255; ++i) {
        if (state.Skins[i].Name == name)
            state.CurrentSkin = static_cast<std::uint8_t>(i);
    }
}

ReaderMemory::Saved Reader::Save()
{
    RememberPlace(view_);
    return memory_.Save(view_.State(), view_.Pane().SelStart());
}
