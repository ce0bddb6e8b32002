// The library's side of the Reader: every book read is noted there as it
// is read (opened, every minute while read, closed), so that none is forgotten when
// book.ini keeps only the books open at the close, and a book opened again
// comes back to its place from whichever of them is newer.

#include "core/books/book_lines.h"
#include "core/books/book_load.h"
#include "core/reading/reader.h"
#include "core/reading/reading_progress.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr qsizetype kExcerptLength = 40;  // characters of text a bookmark keeps

}  // namespace

LibraryStore& Reader::Library()
{
    if (!library_)
        library_ = std::make_unique<LibraryStore>(folders_.StateFile(QStringLiteral("library.sqlite")));
    return *library_;
}

std::optional<LibraryBook> Reader::NewerInLibrary(const QString& path)
{
    std::optional<LibraryBook> book = Library().Book(path);
    RememberedBook inIni;
    const bool inBookIni = memory_.FindBook(path, inIni) == RestoreLookup::Found;
    if ((!book || !book->lastRead.isValid()) && !inBookIni)
        return AgreedInSync(path);
    if (!book || !book->lastRead.isValid())
        return std::nullopt;
    if (!inBookIni)
        return book;
    const QDateTime iniWritten = memory_.BookIniWritten();
    if (iniWritten.isValid() && book->placeSaved.isValid() && book->placeSaved > iniWritten)
        return book;
    return std::nullopt;
}

void Reader::NoteInLibrary(int slot)
{
    const Book* found = state_.Books.BookAt(slot);
    // A book still being read, or read again in another encoding, is noted
    // when its reading ends: its chapters are not all there yet.
    if (!found || unlisted_.contains(slot) || unread_.contains(slot) || readingAgain_.contains(slot)
        || (load_ && load_->Slot() == slot))
        return;
    const Book& book = *found;
    LibraryBook noted;
    noted.path = book.Path;
    noted.size = QFileInfo(book.Path).size();
    noted.chapterCount = book.LastChapter() + 1;
    noted.encoding = book.ChosenEncoding;
    if (book.SkinIndex != 0 && book.SkinIndex <= state_.Skins.Count())
        noted.skinName = state_.Skins[book.SkinIndex].Name;
    if (book.ChapterIndex >= 0 && book.ChapterIndex <= book.LastChapter()) {
        const ReadingPlace place =
            book.Place.chapter == book.ChapterIndex ? book.Place : ReadingPlace{book.ChapterIndex, 0};
        // In the built-in recogniser's numbers, as book.pos keeps it: the
        // book may be split by another rule next time.
        noted.place = BuiltInPlace(book, place);
        noted.chapterTitle = book.Chapters[static_cast<size_t>(book.ChapterIndex)].Shown();
        noted.progress = ShareRead(book, place);
    }
    if (const FileWriteResult written = Library().NoteBook(noted, QDateTime::currentDateTimeUtc()); !written)
        emit LibraryUnwritable(written.reason);
}

void Reader::AddToLibrary(int slot)
{
    const Book* book = state_.Books.BookAt(slot);
    if (!book)
        return;
    LibraryBook added;
    added.path = book->Path;
    added.size = QFileInfo(book->Path).size();
    added.chapterCount = book->LastChapter() + 1;
    added.encoding = book->ChosenEncoding;
    if (const FileWriteResult written = Library().AddBooks({added}); !written)
        emit LibraryUnwritable(written.reason);
}

void Reader::NoteReadingPlace()
{
    RememberPlace();
    NoteInLibrary(state_.CurrentBook);
}

// The library knew more of the book than book.ini and book.pos: its
// chapter, place and skin as last read.
void Reader::RestoreFromLibrary(const LibraryBook& known)
{
    Book* current = state_.CurrentOrNull();
    if (!current)
        return;
    Book& book = *current;
    for (int i = 1; i <= state_.Skins.Count() && i <= 255 && !known.skinName.isEmpty(); ++i) {
        if (state_.Skins[i].Name == known.skinName) {
            state_.CurrentSkin = static_cast<std::uint8_t>(i);
            book.SkinIndex = state_.CurrentSkin;
        }
    }
    if (known.place.chapter >= 0)
        ShowBuiltInPlace(known.place);
    else
        AfterMove();
}

void Reader::ShowBuiltInPlace(const ReadingPlace& place)
{
    Book* book = state_.CurrentOrNull();
    if (!book || place.chapter < 0)
        return;
    book->Place = PlaceOfBuiltInPlace(*book, place);
    book->ChapterIndex = book->Place.chapter;
    AfterMove();
    ReturnToPlace();
}

void Reader::GoToPlace(const QString& path, const ReadingPlace& place)
{
    if (const int slot = state_.Books.FindByPath(path); slot != 0 && !unread_.contains(slot)) {
        if (slot != state_.CurrentBook)
            ShowBook(slot);
        RememberPlace();
        ShowBuiltInPlace(place);
        return;
    }
    placeAfterOpen_ = PlaceAfterOpen{path, place};
    OpenCommand(path, OpenKind::Chosen);
}

void Reader::ShowFoundInFile(const QString& path, int chapter, qsizetype offset, qsizetype length)
{
    const PlaceAfterOpen hit{path, {chapter, std::max<qsizetype>(offset, 0)}, offset < 0 ? 0 : length};
    if (const int slot = state_.Books.FindByPath(path); slot != 0 && !unread_.contains(slot)) {
        if (slot != state_.CurrentBook)
            ShowBook(slot);
        ShowPlaceAfterOpen(hit);
        return;
    }
    placeAfterOpen_ = hit;
    OpenCommand(path, OpenKind::Chosen);
}

void Reader::ShowPlaceAfterOpen(const PlaceAfterOpen& after)
{
    const Book* book = state_.CurrentOrNull();
    if (!book || after.place.chapter < 0)
        return;
    if (after.selected == 0) {
        ShowBuiltInPlace(after.place);
        return;
    }
    const ReadingPlace place = PlaceOfBuiltInPlace(*book, after.place);
    GoToHit(state_.CurrentBook, place.chapter, place.offset, after.selected);
}

FileWriteResult Reader::AddBookmark(const QString& note)
{
    RememberPlace();
    const Book* book = state_.CurrentOrNull();
    if (!book || book->ChapterIndex < 0 || book->ChapterIndex > book->LastChapter())
        return {false, QStringLiteral("没有正在阅读的章节")};
    const ReadingPlace place =
        book->Place.chapter == book->ChapterIndex ? book->Place : ReadingPlace{book->ChapterIndex, 0};
    Bookmark mark;
    mark.path = book->Path;
    mark.place = BuiltInPlace(*book, place);
    mark.chapterTitle = book->Chapters[static_cast<size_t>(place.chapter)].Shown();
    mark.note = note;
    mark.created = QDateTime::currentDateTimeUtc();
    // A line of the text at the place, as shown, without its indent.
    const QString text = ShownText(*book, place.chapter, false);
    qsizetype start = std::clamp<qsizetype>(place.offset, 0, text.size());
    while (start < text.size() && text[start].isSpace())
        ++start;
    qsizetype end = start;
    while (end < text.size() && end - start < kExcerptLength && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    mark.excerpt = text.mid(start, end - start);
    return Library().AddBookmark(mark);
}
