// The reader's side of the library's sync: books open now follow what
// another computer read, and a book opened here for the first time starts
// where it was read elsewhere.

#include "core/books/book_lines.h"
#include "core/books/book_load.h"
#include "core/reading/reader.h"
#include "core/sync/sync_round.h"
#include "core/sync/sync_state.h"

bool Reader::FollowSync(const SyncOutcome& outcome)
{
    for (auto rule = outcome.rules.cbegin(); rule != outcome.rules.cend(); ++rule) {
        // Taken when the book is opened next: an open book keeps its chapters.
        if (!rule.value().isEmpty())
            rules_.Choose(rule.key(), rule.value());
    }
    // Taken off the shelf on another computer: an open book is not put
    // back by being noted here again.
    for (const QString& path : outcome.removedPaths) {
        if (const int slot = state_.Books.FindByPath(path); slot != 0)
            unlisted_.insert(slot);
    }
    bool currentMoved = false;
    for (const QString& path : outcome.movedPaths) {
        const int slot = state_.Books.FindByPath(path);
        Book* book = state_.Books.BookAt(slot);
        const std::optional<LibraryBook> known = Library().Book(path);
        if (!book || !known || known->place.chapter < 0 || unread_.contains(slot) || (load_ && load_->Slot() == slot))
            continue;
        if (slot == state_.CurrentBook) {
            ShowBuiltInPlace(known->place);
            currentMoved = true;
        } else {
            book->Place = PlaceOfBuiltInPlace(*book, known->place);
            book->ChapterIndex = book->Place.chapter;
        }
    }
    return currentMoved;
}

// A book this library has never held, which the computers sharing it
// have read: its place and encoding from there.
std::optional<LibraryBook> Reader::AgreedInSync(const QString& path)
{
    const std::optional<SyncedBook> agreed = AgreedBookOfFile(Library(), path);
    if (!agreed || agreed->placeStamp == 0)
        return std::nullopt;
    LibraryBook known{.path = path, .place = agreed->place.place, .chapterTitle = agreed->place.chapterTitle};
    known.encoding = EncodingChoiceFromSettingName(agreed->encoding).value_or(EncodingChoice::Automatic);
    return known;
}
