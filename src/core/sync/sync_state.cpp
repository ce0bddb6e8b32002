#include "core/sync/sync_state.h"

#include <algorithm>
#include <tuple>

namespace {

auto Order(const SyncedPlace& place)
{
    return std::tie(place.place.chapter, place.place.offset, place.chapterTitle, place.progress);
}

auto Order(const SyncedBookmark& mark)
{
    return std::tie(mark.note, mark.book, mark.place.chapter, mark.place.offset, mark.chapterTitle, mark.excerpt);
}

auto Order(const QString& text)
{
    return std::tie(text);
}

// Takes `theirs` over `mine` when it was changed later, or at the same
// moment to a value that sorts after: both sides choose the same.
template <typename Value>
void TakeLater(Value& mine, SyncStamp& myStamp, const Value& theirs, SyncStamp theirStamp)
{
    if (theirStamp > myStamp || (theirStamp == myStamp && Order(mine) < Order(theirs))) {
        mine = theirs;
        myStamp = theirStamp;
    }
}

void MergeBook(SyncedBook& mine, const SyncedBook& theirs)
{
    TakeLater(mine.place, mine.placeStamp, theirs.place, theirs.placeStamp);
    TakeLater(mine.encoding, mine.encodingStamp, theirs.encoding, theirs.encodingStamp);
    TakeLater(mine.rule, mine.ruleStamp, theirs.rule, theirs.ruleStamp);
    if (std::tie(theirs.read, theirs.name) > std::tie(mine.read, mine.name)) {
        mine.read = theirs.read;
        mine.name = theirs.name;
    }
    mine.removed = std::max(mine.removed, theirs.removed);
}

void MergeBookmark(SyncedBookmark& mine, const SyncedBookmark& theirs)
{
    mine.deleted = std::max(mine.deleted, theirs.deleted);
    mine.created = std::min(mine.created, theirs.created);
    const SyncStamp deleted = mine.deleted;
    const SyncStamp created = mine.created;
    TakeLater(mine, mine.noteStamp, theirs, theirs.noteStamp);
    mine.deleted = deleted;
    mine.created = created;
    if (mine.deleted != 0)
        mine.Bury(mine.deleted);
}

}  // namespace

void SyncedBookmark::Bury(SyncStamp when)
{
    *this = {.uid = uid, .book = book, .created = created, .deleted = std::max(deleted, when)};
}

bool SyncedBook::Removed() const
{
    return removed > std::max({read, placeStamp, encodingStamp, ruleStamp});
}

SyncStamp SyncState::Latest() const
{
    SyncStamp latest = 0;
    for (const SyncedBook& book : books)
        latest = std::max({latest, book.placeStamp, book.encodingStamp, book.ruleStamp, book.read, book.removed});
    for (const SyncedBookmark& mark : bookmarks)
        latest = std::max({latest, mark.created, mark.noteStamp, mark.deleted});
    return latest;
}

void MergeSyncState(SyncState& into, const SyncState& other)
{
    for (const SyncedBook& theirs : other.books) {
        auto mine = into.books.find(theirs.key);
        if (mine == into.books.end())
            into.books.insert(theirs.key, theirs);
        else
            MergeBook(*mine, theirs);
    }
    for (const SyncedBookmark& theirs : other.bookmarks) {
        auto mine = into.bookmarks.find(theirs.uid);
        if (mine == into.bookmarks.end())
            mine = into.bookmarks.insert(theirs.uid, theirs);
        else
            MergeBookmark(*mine, theirs);
        if (mine->deleted != 0)
            mine->Bury(mine->deleted);
    }
}
