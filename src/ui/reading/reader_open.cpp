// Opening books and reading them again: one load at a time on a worker
// thread, and what each command does once its book is read.

#include "core/books/book_load.h"
#include "core/files/plain_file.h"
#include "ui/platform/prompter.h"
#include "ui/reading/open_book.h"
#include "ui/reading/reader.h"
#include "ui/reading/reader_view.h"
#include "ui/reading/reading_place.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/reading_pane.h"

#include <QFileInfo>
#include <QTimer>

namespace {

const QString kTip = QStringLiteral("提示");

}  // namespace

bool Reader::Loading() const
{
    return opening_ || !waiting_.isEmpty();
}

void Reader::OpenCommand(const QString& path, OpenKind kind)
{
    if (Loading()) {
        view_.Prompts().Message(QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!"), kTip,
                                Prompter::Icon::Critical);
        return;
    }
    Open({path}, kind);
}

void Reader::Open(const QStringList& paths, OpenKind kind)
{
    for (const QString& path : paths)
        waiting_.append({path, kind, false});
    OpenNext();
}

void Reader::OpenFolder(const QStringList& paths, const std::function<void(int, int)>& done)
{
    if (paths.isEmpty()) {
        done(0, 0);
        return;
    }
    // A second scan while one runs joins it; both hear the sum at the end.
    if (!scan_)
        scan_ = FolderScan{};
    scan_->pending += static_cast<int>(paths.size());
    auto before = std::move(scan_->done);
    scan_->done = [before, done](int opened, int leftOut) {
        if (before)
            before(opened, leftOut);
        done(opened, leftOut);
    };
    for (const QString& path : paths)
        waiting_.append({path, OpenKind::Plain, true});
    OpenNext();
}

void Reader::StopLoading()
{
    waiting_.clear();
    scan_.reset();
    afterLoad_ = nullptr;
    load_.reset();
    opening_ = false;
    view_.State().LoadingBook = 0;
}

// The next waiting open starts once the one before it has ended, each
// after the events that came in meanwhile, so a folder of books arrives
// one book at a time.
void Reader::OpenNext()
{
    if (opening_ || waiting_.isEmpty())
        return;
    opening_ = true;
    view_.State().LoadingBook = -1;
    const OpenRequest request = waiting_.takeFirst();
    StartOpen(request);
}

void Reader::EndLoad()
{
    opening_ = false;
    if (waiting_.isEmpty())
        view_.State().LoadingBook = 0;
    emit LoadFinished();
    if (waiting_.isEmpty())
        emit Idle();
    else
        QTimer::singleShot(0, this, &Reader::OpenNext);
}

void Reader::Load(const QString& path, EncodingChoice choice, std::function<void(const LoadResult&)> then)
{
    ReaderState& state = view_.State();
    LoadResult result;
    if (!IsListedFile(path)) {
        result.Message = QString::fromUtf16(kFileNotFound);
        then(result);
        return;
    }
    auto reader = std::make_unique<TextFileReader>();
    if (!reader->Open(path, choice)) {
        result.Error = LoadError::ReadFailed;
        then(result);
        return;
    }
    if (const int existing = state.Books.FindByPath(path)) {
        result.Code = existing;
        then(result);
        return;
    }
    const int slot = state.Books.Add(path, QFileInfo(path).fileName());
    if (slot == 0) {
        result.Error = LoadError::Overflow;
        then(result);
        return;
    }
    state.CurrentBook = static_cast<std::int16_t>(slot);
    ReadInto(slot, std::move(reader), choice, std::move(then));
}

void Reader::ReadInto(int slot, std::unique_ptr<TextFileReader> reader, EncodingChoice choice,
                      std::function<void(const LoadResult&)> then)
{
    afterLoad_ = std::move(then);
    BookLoad::Callbacks callbacks;
    callbacks.arrived = [this](bool showBeginning, bool chapterOneUnderWay) {
        ShowArrivingChapters(showBeginning, chapterOneUnderWay);
    };
    callbacks.finished = [this, slot](LoadError error) {
        LoadResult done;
        done.Error = error;
        if (error == LoadError::None)
            done.Code = slot;
        // The load object goes once its last callback has returned.
        QTimer::singleShot(0, this, [finished = load_.release()] { delete finished; });
        auto next = std::move(afterLoad_);
        afterLoad_ = nullptr;
        if (next)
            next(done);
    };
    load_ = std::make_unique<BookLoad>(view_.State(), slot, std::move(reader), choice, std::move(callbacks));
}

// The early display: the beginning of the book is shown as soon as it is
// read, and chapter 0 is shown once chapter 1 is under way when the pane
// shows nothing else.
void Reader::ShowArrivingChapters(bool showBeginning, bool chapterOneUnderWay)
{
    if (showBeginning)
        ShowChapter(view_);
    ReaderState& state = view_.State();
    if (chapterOneUnderWay && load_ && view_.PaneIsEmpty() && state.Books.IsBook(load_->Slot())) {
        state.Books[load_->Slot()].ChapterIndex = 0;
        ShowChapter(view_);
    }
}

void Reader::StartOpen(const OpenRequest& request)
{
    ReaderState& state = view_.State();
    if (request.kind == OpenKind::Plain) {
        RememberPlace(view_);
        view_.ShowSplash();
        // A book read in an encoding of the user's choice is read so again.
        const std::optional<RememberedPosition> remembered = memory_.PositionOf(request.path);
        Load(request.path, remembered ? remembered->encoding : EncodingChoice::Automatic,
             [this, request](const LoadResult& result) {
                 const LoadCheck check = FinishPlainOpen(request.path, result);
                 if (request.partOfScan && scan_) {
                     if (check.kind == LoadCheck::Kind::Book)
                         ++scan_->opened;
                     else if (check.kind == LoadCheck::Kind::StoreFull)
                         ++scan_->leftOut;
                     if (--scan_->pending == 0) {
                         const FolderScan scan = std::move(*scan_);
                         scan_.reset();
                         scan.done(scan.opened, scan.leftOut);
                     }
                 }
                 EndLoad();
             });
        return;
    }
    // Where the reader is, noted while the pane still shows it; a chosen
    // file empties the pane before the load.
    RememberPlace(view_);
    if (request.kind == OpenKind::Chosen)
        view_.Pane().SetText(QString());
    if (request.path.isEmpty()) {
        EndLoad();
        return;
    }
    // A book already in the store is shown where this session left it, in
    // its own skin: book.ini only knows the place of the last close.
    const bool alreadyOpen = state.Books.FindByPath(request.path) != 0;
    // book.pos: the encoding the user chose for the book, and where in the
    // chapter book.ini restores the book was left.
    const std::optional<RememberedPosition> remembered = alreadyOpen ? std::nullopt : memory_.PositionOf(request.path);
    Load(request.path, remembered ? remembered->encoding : EncodingChoice::Automatic,
         [this, request, alreadyOpen, remembered](const LoadResult& result) {
             FinishOpen(request, alreadyOpen, remembered, result);
             EndLoad();
         });
}

LoadCheck Reader::FinishPlainOpen(const QString& path, const LoadResult& result)
{
    ReaderState& state = view_.State();
    if (!result.Succeeded())
        view_.CloseSplash();
    const LoadCheck check = CheckLoad(view_, path, result);
    if (check.kind != LoadCheck::Kind::Book)
        return check;
    state.CurrentBook = static_cast<std::int16_t>(check.slot);
    ListChapters(view_, check.slot);
    AppendContents(view_);
    if (view_.Pane().Length() == 2) {
        state.Current().ChapterIndex = 0;
        ShowChapter(view_);
    }
    RegisterInBooksMenu(view_);
    view_.CloseSplash();
    return check;
}

void Reader::FinishOpen(const OpenRequest& request, bool alreadyOpen,
                        const std::optional<RememberedPosition>& remembered, const LoadResult& result)
{
    ReaderState& state = view_.State();
    const bool chosen = request.kind == OpenKind::Chosen;
    const LoadCheck check = CheckLoad(view_, request.path, result);
    if (check.kind == LoadCheck::Kind::StoreFull)
        view_.Prompts().Message(StoreFullText(), kTip, Prompter::Icon::Critical);
    if (check.kind != LoadCheck::Kind::Book)
        return;
    const int slot = check.slot;
    state.CurrentBook = static_cast<std::int16_t>(slot);

    if (alreadyOpen) {
        Book& book = state.Current();
        if (book.SkinIndex != 0)
            state.CurrentSkin = book.SkinIndex;
        AfterMove();
    } else {
        const RestoreOutcome restore = Restore(request.path);
        if (!restore.readable)
            return;
        if (restore.restored && remembered && remembered->place && state.Books.IsBook(state.CurrentBook)
            && remembered->place->Chapter == state.Current().ChapterIndex)
            state.Current().Place = *remembered->place;
        if (chosen && !restore.hadFile && state.Books.IsBook(state.CurrentBook)) {
            state.Current().ChapterIndex = 0;
            AfterMove();
        }
        if (chosen && state.Books.IsBook(state.CurrentBook) && state.Current().ChapterIndex == 0)
            AfterMove();
    }
    ListChapters(view_, slot);
    if (view_.Pane().Length() == 2 && state.Books.IsBook(state.CurrentBook)) {
        state.Current().ChapterIndex = 0;
        ShowChapter(view_);
    }
    ReturnToPlace(view_);
    RegisterInBooksMenu(view_);
    view_.CloseSplash();
}

// Restores the chapter and skin book.ini remembers for `path`. A book.ini
// that exists but cannot be read ends the open command.
Reader::RestoreOutcome Reader::Restore(const QString& path)
{
    ReaderState& state = view_.State();
    RestoreOutcome outcome;
    const ReaderMemory::IniFile ini = memory_.BookIni();
    outcome.hadFile = ini != ReaderMemory::IniFile::Missing;
    if (ini == ReaderMemory::IniFile::Missing)
        return outcome;
    if (ini == ReaderMemory::IniFile::Unreadable) {
        outcome.readable = false;
        return outcome;
    }
    RememberedBook remembered;
    // A line that cannot be read back restores nothing; the command goes on.
    if (memory_.FindBook(path, remembered) != RestoreLookup::Found)
        return outcome;
    outcome.restored = true;
    const bool isBook = state.Books.IsBook(state.CurrentBook);
    if (isBook)
        state.Current().ChapterIndex = remembered.chapterIndex;
    // An empty name is a book that never had a skin; it matches no skin,
    // not even a slot whose file has gone.
    bool restoredSkin = false;
    for (int i = 1; i <= state.Skins.Count() && i <= 255 && !remembered.skinName.isEmpty(); ++i) {
        if (state.Skins[i].Name == remembered.skinName) {
            state.CurrentSkin = static_cast<std::uint8_t>(i);
            restoredSkin = true;
        }
    }
    // The restored skin is the book's own again, so the next close writes
    // it back instead of an empty name.
    if (restoredSkin && isBook)
        state.Current().SkinIndex = state.CurrentSkin;
    AfterMove();
    return outcome;
}

void Reader::ChooseEncoding(EncodingChoice choice)
{
    ReaderState& state = view_.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    // A load in progress may be filling this very book: reading it again
    // under the loader would pull its chapters away. The user is told, as
    // when an open command waits for a load.
    if (Loading()) {
        emit LoadFinished();  // the menu shows the book's encoding again
        view_.Prompts().Message(QStringLiteral("正在加载电子书,加载完毕后才可以更换文字编码!"), kTip,
                                Prompter::Icon::Critical);
        return;
    }
    if (state.Current().ChosenEncoding == choice)
        return;
    const int slot = state.CurrentBook;
    RememberPlace(view_);
    const ReadingPlace place = state.Current().Place;
    const QString path = state.Current().Path;
    // The text the place was noted in: the place holds only if that
    // chapter reads the same in the new encoding.
    const QString placeText = place.Chapter >= 0 && place.Chapter <= state.Current().LastChapter()
        ? state.Current().ChapterTexts[place.Chapter]
        : QString();

    LoadResult result;
    auto reader = std::make_unique<TextFileReader>();
    if (!IsListedFile(path))
        result.Message = QString::fromUtf16(kFileNotFound);
    else if (!reader->Open(path, choice))
        result.Error = LoadError::ReadFailed;
    if (!result.Succeeded()) {
        FinishReload(slot, place, placeText, path, -2, result);
        return;
    }
    // The slot starts again as a new book would; only the chapter shown is
    // put back at the end.
    Book& book = state.Books[slot];
    const int kept = book.ChapterIndex;
    book.Chapters.assign(1, ChapterEntry{});
    book.ChapterTexts.assign(1, QString());
    book.ChapterIndex = 0;
    opening_ = true;
    state.LoadingBook = -1;
    ReadInto(slot, std::move(reader), choice, [this, slot, place, placeText, path, kept](const LoadResult& done) {
        FinishReload(slot, place, placeText, path, kept, done);
        EndLoad();
    });
}

// `keptChapter` is the chapter shown before the reading (-2 when the file
// was not read at all).
void Reader::FinishReload(int slot, const ReadingPlace& place, const QString& placeText, const QString& path,
                          int keptChapter, const LoadResult& result)
{
    ReaderState& state = view_.State();
    if (!state.Books.IsBook(slot))
        return;
    Book& book = state.Books[slot];
    if (keptChapter != -2 && result.Error == LoadError::None)
        book.ChapterIndex = keptChapter >= -1 && keptChapter <= book.LastChapter() ? keptChapter : 0;
    const bool placeHolds = place.Chapter >= 0 && place.Chapter == book.ChapterIndex
        && place.Chapter <= book.LastChapter() && book.ChapterTexts[place.Chapter] == placeText;
    if (!placeHolds)
        book.Place = {};
    // The chapter menu may list the old titles under the same key: list anew.
    if (view_.ListedChapters().book == slot)
        view_.ListedChapters() = {};
    // The user may have gone to another book while this one was read.
    if (state.CurrentBook == slot) {
        ListChapters(view_, slot);
        ShowChapter(view_);
        ReturnToPlace(view_);
    }
    emit LoadFinished();
    CheckLoad(view_, path, result);
}
