#include "core/reading/reader.h"

#include "core/books/book_contents.h"
#include "core/books/book_load.h"
#include "core/books/book_survey.h"
#include "core/reading/reader_view.h"
#include "core/skins/skin_editing.h"

#include <QDir>

#include <limits>
#include <new>

namespace {

const QString kReading = QStringLiteral("正在阅读:");

// A book left on its contents view is entered at chapter 0.
void EnterBook(ReaderState& state)
{
    if (Book* book = state.CurrentOrNull(); book && book->ChapterIndex == -1)
        book->ChapterIndex = 0;
}

}  // namespace

Reader::Reader(ReaderState& state, const ReaderFolders& folders, ReaderView& view, QObject* parent)
    : QObject(parent)
    , state_(state)
    , folders_(folders)
    , view_(view)
    , memory_(folders)
    , rules_(folders)
    , scripts_(folders)
    , lastFolder_(QDir::currentPath())
{}

Reader::~Reader() = default;

// Puts the current chapter of the current book, or its contents view, into
// the pane, sets the caption and applies the skin. An index out of range
// shows the contents view.
void Reader::ShowChapter()
{
    Book* current = state_.CurrentOrNull();
    if (!current)
        return;
    Book& book = *current;
    if (book.ChapterIndex < -1 || book.ChapterIndex > book.LastChapter())
        book.ChapterIndex = -1;
    const int index = book.ChapterIndex;
    if (index == -1) {
        view_.SetPaneText(ContentsText(book));
        view_.SetCaption(kReading + book.FileName + QStringLiteral("——目录"));
    } else {
        view_.SetPaneText(ShownText(book, index, true));
        view_.SetCaption(kReading + book.FileName + QStringLiteral("——") + book.Chapters[index].Shown());
    }
    ApplySkin();
    emit ChapterShown();
}

// The chapter menu lists the current book. A book without headings goes
// back to chapter 0, and the user is told "本书无目录，属于通篇浏览!".
void Reader::BuildChapterMenu()
{
    Book* book = state_.CurrentOrNull();
    if (!book) {
        view_.ListChapters(0);
        return;
    }
    if (book->LastChapter() == 0 && book->Chapters[0].Title.isEmpty()) {
        view_.ListChapters(0);
        book->ChapterIndex = 0;
        view_.ShowMessage(QStringLiteral("本书无目录，属于通篇浏览!"), QStringLiteral("文章提示"),
                          ReaderView::MessageKind::Information);
        return;
    }
    view_.ListChapters(state_.CurrentBook);
}

void Reader::ApplySkin()
{
    view_.ApplySkin();
}

// Every move ends here: the chapter menu first, then the chapter itself.
void Reader::AfterMove()
{
    spokenPlace_ = false;
    BuildChapterMenu();
    ShowChapter();
}

// Adds `delta` to the chapter index unless that overflows; an overflow is
// a failing step, which is skipped. No bound is applied here: showing the
// chapter turns an index out of range into the contents view.
void Reader::StepChapter(int delta)
{
    if (Book* book = state_.CurrentOrNull()) {
        const std::int64_t next = std::int64_t(book->ChapterIndex) + delta;
        if (next >= std::numeric_limits<std::int32_t>::min() && next <= std::numeric_limits<std::int32_t>::max())
            book->ChapterIndex = static_cast<std::int32_t>(next);
    }
    AfterMove();
}

void Reader::NoteSpokenPlace(qsizetype offset)
{
    Book* book = state_.CurrentOrNull();
    if (book && book->ChapterIndex >= 0 && ShowsChapter(*book, book->ChapterIndex)) {
        book->Place = {book->ChapterIndex, offset};
        spokenPlace_ = true;
    }
}

void Reader::ShowContents()
{
    if (Book* book = state_.CurrentOrNull())
        book->ChapterIndex = -1;
    AfterMove();
}

// The book steps leave the skin in use as it is. The next-book bound is the
// number of books in the store: books sharing a file name share one menu
// item, and the last of them must stay reachable. The book stepped to comes
// back where it was being read.
void Reader::StepBook(int delta)
{
    RememberPlace();
    const int target = state_.CurrentBook + delta;
    if (target >= 1 && target <= state_.Books.Count()) {
        state_.CurrentBook = static_cast<std::int16_t>(target);
        EnterBook(state_);
    }
    AfterMove();
    ReturnToPlace();
}

void Reader::ShowBook(int slot)
{
    if (!state_.Books.IsBook(slot))
        return;
    RememberPlace();
    state_.CurrentBook = static_cast<std::int16_t>(slot);
    Book& book = state_.Current();
    if (book.SkinIndex == 0)
        book.SkinIndex = state_.CurrentSkin;
    else
        state_.CurrentSkin = book.SkinIndex;
    EnterBook(state_);
    AfterMove();
    ReturnToPlace();
}

// The chapter menu, the contents view and 跳到章节 show a chapter of the
// current book without rebuilding the chapter menu.
void Reader::GoToChapter(std::int64_t chapter)
{
    const bool fits =
        chapter >= std::numeric_limits<std::int32_t>::min() && chapter <= std::numeric_limits<std::int32_t>::max();
    if (Book* book = state_.CurrentOrNull(); book && fits)
        book->ChapterIndex = static_cast<std::int32_t>(chapter);
    ShowChapter();
}

bool Reader::LoadSkins()
{
    return LoadSkinFolder(state_.Skins, folders_);
}

void Reader::UseSkinNamed(const QString& name)
{
    for (int i = 1; i <= state_.Skins.Count() && i <= 255; ++i) {
        if (state_.Skins[i].Name == name)
            state_.CurrentSkin = static_cast<std::uint8_t>(i);
    }
}

bool Reader::SetNightMode(bool on)
{
    std::uint8_t night = 0;
    for (int i = 1; on && i <= state_.Skins.Count() && i <= 255; ++i) {
        if (state_.Skins[i].Name == QStringView(kNightSkinName))
            night = static_cast<std::uint8_t>(i);
    }
    state_.NightSkin = night;
    ApplySkin();
    return night != 0 || !on;
}

void Reader::ChooseSkin(int index)
{
    state_.NightSkin = 0;  // a skin chosen is the one wanted, day or night
    // An index beyond 255 does not fit: the skin in use stays, and the
    // remaining steps run with it.
    if (index >= 0 && index <= 255)
        state_.CurrentSkin = static_cast<std::uint8_t>(index);
    if (Book* book = state_.CurrentOrNull())
        book->SkinIndex = state_.CurrentSkin;
    ApplySkin();
}

void Reader::ReloadSkins()
{
    RebuildSkinTable(state_.Skins, folders_);
    emit SkinsChanged();
}

void Reader::StoreSkin(SkinEntry saved)
{
    const int k = StoreSavedSkin(state_.Skins, std::move(saved));
    emit SkinsChanged();
    if (k == state_.CurrentSkin)
        ApplySkin();
}

namespace {

// The main window's pane as the search sees it, chapters in their scripts.
class PaneForSearch : public SearchPane {
public:
    using Shown = std::function<QString(const Book&, int)>;
    PaneForSearch(ReaderView& view, Reader& reader, Shown shown)
        : view_(view)
        , reader_(reader)
        , shown_(std::move(shown))
    {}
    QString Text() const override { return view_.PaneText(); }
    void SetText(const QString& text) override { view_.SetPaneText(text); }
    void Select(qsizetype start, qsizetype length) override { view_.SelectInPane(start, length); }
    void ShowChapter() override { reader_.ShowChapter(); }
    QString ChapterText(const Book& book, int chapter) override { return shown_(book, chapter); }

private:
    ReaderView& view_;
    Reader& reader_;
    Shown shown_;
};

}  // namespace

SearchResult Reader::Find(const QString& findWhat, SearchScope scope, const SearchCursor& cursor)
{
    return RunSearch(&SearchText, findWhat, scope, cursor);
}

SearchResult Reader::FindPrevious(const QString& findWhat, SearchScope scope, const SearchCursor& cursor)
{
    return RunSearch(&SearchTextBackward, findWhat, scope, cursor);
}

SearchResult Reader::RunSearch(SearchFunction search, const QString& findWhat, SearchScope scope,
                               const SearchCursor& cursor)
{
    const int bookBefore = state_.CurrentBook;
    // The whole-book search puts the start chapter into the pane before it
    // looks; when nothing is found the pane goes back to what it showed.
    const QString shownBefore = view_.PaneText();
    const qsizetype selStartBefore = view_.PaneSelStart();
    const qsizetype selLengthBefore = view_.PaneSelLength();
    // The chapters looked through are not kept: the pane keeps what it shows.
    PaneForSearch pane(view_, *this, [this](const Book& book, int chapter) { return ShownText(book, chapter, false); });
    SearchResult result;
    try {
        result = search(state_, pane, findWhat, scope, cursor);
    } catch (const std::bad_alloc&) {
        result = {false, kOutOfMemory};
    }
    if (result.error != 0)
        return result;
    if (!result.found) {
        if (!view_.PaneShows(shownBefore))
            view_.SetPaneText(shownBefore);
        view_.SelectInPane(selStartBefore, selLengthBefore);
        return result;
    }
    // A hit in another book: its chapters replace the old book's in the
    // chapter menu, so the menu never lists a book not on screen.
    if (state_.CurrentBook != bookBefore)
        view_.ListChapters(state_.CurrentBook);
    // Read in the middle of the screen, with lines before it to place it.
    if (view_.PaneSelLength() > 0)
        view_.CenterOnOffset(view_.PaneSelStart());
    return result;
}

FindAllInput Reader::FindAllSnapshot(const QString& findWhat, SearchScope scope, const SearchCursor& cursor)
{
    FindAllInput input{findWhat, scope, cursor, {}, {}};
    if (scope == SearchScope::Pane)
        input.paneText = view_.PaneText();
    const int last = scope == SearchScope::AllBooks ? state_.Books.Count() : static_cast<int>(cursor.book);
    for (std::int64_t slot = cursor.book; slot >= 1 && slot <= last; ++slot) {
        const Book& book = state_.Books[static_cast<int>(slot)];
        FindBook copy{static_cast<int>(slot), {}, book.ChapterTexts, ScriptOf(book)};
        copy.titles.reserve(book.Chapters.size());
        for (const ChapterEntry& entry : book.Chapters)
            copy.titles.push_back(entry.Shown());
        input.books.push_back(std::move(copy));
    }
    return input;
}

bool Reader::GoToHit(int slot, int chapter, qsizetype offset, qsizetype length)
{
    Book* book = state_.Books.BookAt(slot);
    if (!book || chapter < -1 || chapter > book->LastChapter())
        return false;
    const int bookBefore = state_.CurrentBook;
    if (slot != bookBefore || book->ChapterIndex != chapter || !ShowsChapter(*book, chapter)) {
        RememberPlace();
        state_.CurrentBook = static_cast<std::int16_t>(slot);
        book->ChapterIndex = chapter;
        ShowChapter();
        // As after a find: the chapter menu lists the book on screen.
        if (slot != bookBefore)
            view_.ListChapters(slot);
    }
    if (offset < 0 || offset + length > view_.PaneText().size())
        return true;
    view_.SelectInPane(offset, length);
    view_.CenterOnOffset(offset);
    return true;
}

qsizetype Reader::SelectionStart() const
{
    return view_.PaneSelStart();
}

qsizetype Reader::SelectionEnd() const
{
    return view_.PaneSelStart() + view_.PaneSelLength();
}

ReaderMemory::Saved Reader::Save()
{
    RememberPlace();
    for (auto before = readingAgain_.cbegin(); before != readingAgain_.cend(); ++before) {
        if (Book* book = state_.Books.BookAt(before.key())) {
            book->ChapterIndex = before->chapterIndex;
            book->Place = before->place;
            book->ChosenEncoding = before->chosenEncoding;
        }
    }
    for (int slot = 1; slot <= state_.Books.Count(); ++slot)
        NoteInLibrary(slot);
    qsizetype caret = view_.PaneSelStart();
    const ReaderState saved = StateAsSaved(caret);
    return memory_.Save(saved, caret, unread_);
}

// Notes where the current book is being read: the first character on
// screen, when the pane shows the book's current chapter. On its contents
// view the book is in no chapter; showing anything else (a find's look at
// another chapter, an emptied pane) leaves the note as it was.
void Reader::RememberPlace()
{
    Book* current = state_.CurrentOrNull();
    if (!current)
        return;
    Book& book = *current;
    if (ShowsChapter(book, book.ChapterIndex)) {
        // A place scrolled to and not moved from since stays as it was:
        // after a bigger font or a narrower window its line on screen
        // starts earlier, and noting that start would move the place back
        // a little at every start.
        const bool unmoved = book.Place.chapter == book.ChapterIndex && view_.ShowsAtTop(book.Place.offset);
        // The sentence read aloud last is the place, unless the reader has
        // read on past it since.
        const bool spoken =
            spokenPlace_ && book.Place.chapter == book.ChapterIndex && book.Place.offset >= view_.FirstVisibleOffset();
        book.Place = {book.ChapterIndex, unmoved || spoken ? book.Place.offset : view_.FirstVisibleOffset()};
    } else if (book.ChapterIndex == -1) {
        book.Place = {};
    }
}

// Scrolls the pane so that the current book's place is at the top, when
// the pane shows the chapter that place is in.
void Reader::ReturnToPlace()
{
    const Book* book = state_.CurrentOrNull();
    if (book && book->Place.chapter == book->ChapterIndex && ShowsChapter(*book, book->ChapterIndex))
        view_.ScrollToOffset(book->Place.offset);
}
