// Opening books and reading them again: one load at a time on a worker
// thread, and what each command does once its book is read.

#include "core/books/book_contents.h"
#include "core/books/book_lines.h"
#include "core/books/book_load.h"
#include "core/files/plain_file.h"
#include "core/reading/reader.h"
#include "core/reading/reader_view.h"
#include "core/text/file_names.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <utility>

namespace {

const QString kTip = QStringLiteral("提示");

// What the open commands say when the store is full ("溢出").
QString StoreFullText()
{
    return QStringLiteral("溢出：最多只能同时打开 %1 本电子书，这本书没有打开。").arg(BookStore::kMaxBooks);
}

}  // namespace

void Reader::Tell(const QString& text)
{
    view_.ShowMessage(text, kTip);
}

bool Reader::Loading() const
{
    return opening_ || !waiting_.isEmpty();
}

void Reader::OpenCommand(const QString& path, OpenKind kind)
{
    if (Loading()) {
        Tell(QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!"));
        return;
    }
    Open({path}, kind);
}

void Reader::Open(const QStringList& paths, OpenKind kind)
{
    for (const QString& path : paths) {
        // The recent list holds paths as book.ini spells them; a name that
        // is not UTF-8 is found again by its bytes.
        const QString found = kind == OpenKind::Recent ? ExistingPathFor(path) : QString();
        waiting_.append({found.isEmpty() ? path : found, kind, false});
    }
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
    state_.LoadingBook = 0;
}

// The next waiting open starts once the one before it has ended, each
// after the events that came in meanwhile, so a folder of books arrives
// one book at a time.
void Reader::OpenNext()
{
    if (opening_ || waiting_.isEmpty())
        return;
    opening_ = true;
    state_.LoadingBook = -1;
    const OpenRequest request = waiting_.takeFirst();
    StartOpen(request);
}

void Reader::EndLoad()
{
    opening_ = false;
    if (waiting_.isEmpty())
        state_.LoadingBook = 0;
    emit LoadFinished();
    if (waiting_.isEmpty())
        emit Idle();
    else
        QTimer::singleShot(0, this, &Reader::OpenNext);
}

void Reader::Load(const QString& path, EncodingChoice choice, std::function<void(const LoadResult&)> then, bool named,
                  bool offerRules)
{
    LoadStart start = StartLoad(state_, path, choice, TextFileReader::kBlockSize, named);
    if (!start.reader) {
        then(start.result);
        return;
    }
    unread_.append(start.slot);
    // A book is split by the rule chosen for it; one without a choice is
    // surveyed for a better rule than the built-in recogniser.
    const bool chosen = rules_.ChoiceFor(path).has_value();
    loadRule_ = rules_.RuleForBook(path);
    ReadInto(start.slot, std::move(start.reader), choice, std::move(then), offerRules && !chosen && !loadRule_);
}

void Reader::ReadInto(int slot, std::unique_ptr<TextFileReader> reader, EncodingChoice choice,
                      std::function<void(const LoadResult&)> then, bool surveyRules)
{
    afterLoad_ = std::move(then);
    BookLoad::Callbacks callbacks;
    callbacks.arrived = [this, slot](bool showBeginning, bool chapterOneUnderWay) {
        ShowTitlesInScript(slot);
        ShowArrivingChapters(showBeginning, chapterOneUnderWay);
    };
    callbacks.finished = [this, slot](LoadError error) {
        LoadResult done;
        done.error = error;
        if (error == LoadError::None)
            done.Code = slot;
        // A book cut off at the last chapter the store can number is read
        // as far as it can be.
        if (error == LoadError::None || error == LoadError::Overflow) {
            unread_.removeAll(slot);
            readingAgain_.remove(slot);
        }
        if (Book* book = state_.Books.BookAt(slot))
            book->Rule = loadRule_ ? loadRule_->name : QString();
        // The load object goes once its last callback has returned.
        endedLoad_ = std::move(load_);
        QTimer::singleShot(0, this, [this] { endedLoad_.reset(); });
        auto next = std::move(afterLoad_);
        afterLoad_ = nullptr;
        if (next)
            next(done);
    };
    LoadTuning tuning;
    tuning.rule = loadRule_.get();
    tuning.surveyRules = surveyRules;
    load_ = std::make_unique<BookLoad>(state_, slot, std::move(reader), choice, std::move(callbacks), tuning);
}

// The early display: the beginning of the book is shown as soon as it is
// read, and chapter 0 is shown once chapter 1 is under way when the pane
// shows nothing else.
void Reader::ShowArrivingChapters(bool showBeginning, bool chapterOneUnderWay)
{
    if (showBeginning)
        ShowChapter();
    Book* loading = load_ ? state_.Books.BookAt(load_->Slot()) : nullptr;
    if (chapterOneUnderWay && loading && view_.PaneText().isEmpty()) {
        loading->ChapterIndex = 0;
        ShowChapter();
    }
}

void Reader::StartOpen(const OpenRequest& request)
{
    if (request.kind == OpenKind::Plain) {
        RememberPlace();
        view_.ShowSplash();
        // A book read in an encoding of the user's choice is read so again.
        const std::optional<RememberedPosition> remembered = memory_.PositionOf(request.path);
        // A book already open keeps its chapter and place: a scan over it
        // leaves it as it is.
        const bool alreadyOpen = state_.Books.FindByPath(request.path) != 0;
        Load(
            request.path, remembered ? remembered->encoding : EncodingChoice::Automatic,
            [this, request, alreadyOpen](const LoadResult& result) {
                LoadCheck check;
                if (alreadyOpen && result.Succeeded()) {
                    check = {LoadCheck::Kind::Book, result.Code};
                    view_.CloseSplash();
                } else {
                    check = FinishPlainOpen(request.path, result);
                }
                // A scanned book joins the library unread; the help
                // document is no book of the reader's.
                if (check.kind == LoadCheck::Kind::Book && !alreadyOpen) {
                    if (request.partOfScan)
                        AddToLibrary(check.slot);
                    else
                        unlisted_.insert(check.slot);
                }
                if (request.partOfScan && scan_)
                    CountScanned(check, !alreadyOpen);
                else if (check.kind == LoadCheck::Kind::Book && !alreadyOpen)
                    OfferBetterRule(check.slot);
                EndLoad();
            },
            false, !request.partOfScan);
        return;
    }
    // Where the reader is, noted while the pane still shows it; a chosen
    // file empties the pane before the load.
    RememberPlace();
    // A book named from outside that is not there leaves the pane alone.
    if (request.kind == OpenKind::Chosen || (request.kind == OpenKind::Outside && IsNamedFile(request.path))) {
        view_.SetPaneText(QString());
        // The folder scan starts where the last book was chosen.
        lastFolder_ = QFileInfo(request.path).absolutePath();
    }
    if (request.path.isEmpty()) {
        EndLoad();
        return;
    }
    // A book already in the store is shown where this session left it, in
    // its own skin: book.ini only knows the place of the last close.
    const bool alreadyOpen = state_.Books.FindByPath(request.path) != 0;
    // book.pos: the encoding the user chose for the book, and where in the
    // chapter book.ini restores the book was left.
    const std::optional<RememberedPosition> remembered = alreadyOpen ? std::nullopt : memory_.PositionOf(request.path);
    // The library, when it knows the book better: read last after the
    // last close, or not open then.
    std::optional<LibraryBook> known = alreadyOpen ? std::nullopt : NewerInLibrary(request.path);
    EncodingChoice encoding = remembered ? remembered->encoding : EncodingChoice::Automatic;
    if (known)
        encoding = known->encoding;
    Load(
        request.path, encoding,
        [this, request, alreadyOpen, remembered, known = std::move(known)](const LoadResult& result) {
            FinishOpen(request, alreadyOpen, remembered, result);
            const bool shown = result.Succeeded() && state_.Books.FindByPath(request.path) == state_.CurrentBook;
            if (known && shown)
                RestoreFromLibrary(*known);
            if (placeAfterOpen_ && placeAfterOpen_->path == request.path) {
                const PlaceAfterOpen after = *std::exchange(placeAfterOpen_, std::nullopt);
                if (shown)
                    ShowPlaceAfterOpen(after);
            }
            ReturnToPlace();
            // Chapter moves are noted by the window's clock and at the close,
            // not at each step: holding Page Down steps twenty a second.
            if (shown)
                NoteInLibrary(state_.CurrentBook);
            EndLoad();
        },
        request.kind == OpenKind::Outside);
}

// One book of a folder scan is done. At the end of the scan the user hears
// how it went, and the pane and the title panel show the same book: the
// last one read, in its contents view.
void Reader::CountScanned(const LoadCheck& check, bool read)
{
    if (check.kind == LoadCheck::Kind::Book) {
        ++scan_->opened;
        if (read)
            scan_->lastRead = check.slot;
    } else if (check.kind == LoadCheck::Kind::StoreFull) {
        ++scan_->leftOut;
    }
    if (--scan_->pending > 0)
        return;
    const FolderScan scan = std::move(*scan_);
    scan_.reset();
    if (state_.Books.IsBook(scan.lastRead) && state_.CurrentBook == scan.lastRead)
        ShowChapter();
    scan.done(scan.opened, scan.leftOut);
}

Reader::LoadCheck Reader::FinishPlainOpen(const QString& path, const LoadResult& result)
{
    if (!result.Succeeded())
        view_.CloseSplash();
    const LoadCheck check = CheckLoad(path, result);
    if (check.kind != LoadCheck::Kind::Book)
        return check;
    state_.CurrentBook = static_cast<std::int16_t>(check.slot);
    view_.ListChapters(check.slot);
    AppendContents();
    if (PaneShowsOnlyALineEnd()) {
        state_.Current().ChapterIndex = 0;
        ShowChapter();
    }
    view_.ListBook(state_.CurrentBook);
    view_.CloseSplash();
    return check;
}

void Reader::FinishOpen(const OpenRequest& request, bool alreadyOpen,
                        const std::optional<RememberedPosition>& remembered, const LoadResult& result)
{
    const bool chosen = request.kind == OpenKind::Chosen || request.kind == OpenKind::Outside;
    const LoadCheck check = CheckLoad(request.path, result, request.kind == OpenKind::Outside);
    if (check.kind == LoadCheck::Kind::StoreFull)
        Tell(StoreFullText());
    if (check.kind != LoadCheck::Kind::Book)
        return;
    const int slot = check.slot;
    state_.CurrentBook = static_cast<std::int16_t>(slot);

    if (alreadyOpen) {
        Book& book = state_.Current();
        if (book.SkinIndex != 0)
            state_.CurrentSkin = book.SkinIndex;
        AfterMove();
    } else {
        const RestoreOutcome restore = Restore(request.path);
        if (!restore.readable)
            return;
        if (restore.restored && remembered && remembered->place && state_.Books.IsBook(state_.CurrentBook)
            && remembered->place->chapter == restore.builtInChapter) {
            Book& book = state_.Current();
            book.Place = PlaceOfBuiltInPlace(book, *remembered->place);
            if (book.Place.chapter != book.ChapterIndex) {
                book.ChapterIndex = book.Place.chapter;
                AfterMove();
            }
        }
        // A chosen book without a line starts at chapter 0, shown once: a
        // restored book has been shown by the restore.
        if (chosen && !restore.hadFile && state_.Books.IsBook(state_.CurrentBook))
            state_.Current().ChapterIndex = 0;
        if (chosen && !restore.restored && state_.Books.IsBook(state_.CurrentBook)
            && state_.Current().ChapterIndex == 0)
            AfterMove();
    }
    view_.ListChapters(slot);
    if (PaneShowsOnlyALineEnd() && state_.Books.IsBook(state_.CurrentBook)) {
        state_.Current().ChapterIndex = 0;
        ShowChapter();
    }
    ReturnToPlace();
    view_.ListBook(state_.CurrentBook);
    view_.CloseSplash();
    OfferBetterRule(slot);
}

// Restores the chapter and skin book.ini remembers for `path`. A book.ini
// that exists but cannot be read ends the open command.
Reader::RestoreOutcome Reader::Restore(const QString& path)
{
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
    outcome.builtInChapter = remembered.chapterIndex;
    const bool isBook = state_.Books.IsBook(state_.CurrentBook);
    // book.ini numbers the built-in recogniser's chapters: a book split by
    // a rule goes to the chapter that holds the same line.
    if (isBook) {
        Book& book = state_.Current();
        book.ChapterIndex = remembered.chapterIndex >= 0
            ? PlaceOfBuiltInPlace(book, {remembered.chapterIndex, 0}).chapter
            : remembered.chapterIndex;
    }
    // An empty name is a book that never had a skin; it matches no skin,
    // not even a slot whose file has gone.
    bool restoredSkin = false;
    for (int i = 1; i <= state_.Skins.Count() && i <= 255 && !remembered.skinName.isEmpty(); ++i) {
        if (state_.Skins[i].Name == remembered.skinName) {
            state_.CurrentSkin = static_cast<std::uint8_t>(i);
            restoredSkin = true;
        }
    }
    // The restored skin is the book's own again, so the next close writes
    // it back instead of an empty name.
    if (restoredSkin && isBook)
        state_.Current().SkinIndex = state_.CurrentSkin;
    AfterMove();
    return outcome;
}

void Reader::ChooseEncoding(EncodingChoice choice)
{
    if (!state_.Books.IsBook(state_.CurrentBook))
        return;
    // A load in progress may be filling this very book: reading it again
    // under the loader would pull its chapters away. The user is told, as
    // when an open command waits for a load.
    if (Loading()) {
        emit LoadFinished();  // the menu shows the book's encoding again
        Tell(QStringLiteral("正在加载电子书,加载完毕后才可以更换文字编码!"));
        return;
    }
    if (state_.Current().ChosenEncoding == choice)
        return;
    const int slot = state_.CurrentBook;
    RememberPlace();
    const ReadingPlace place = state_.Current().Place;
    const QString path = state_.Current().Path;
    // The text the place was noted in: the place holds only if that
    // chapter reads the same in the new encoding.
    const QString placeText = place.chapter >= 0 && place.chapter <= state_.Current().LastChapter()
        ? state_.Current().ChapterTexts[place.chapter]
        : QString();

    // A book split by a rule keeps its place in the built-in recogniser's
    // numbers, as the settings files do, should it be closed while read.
    const Book& current = state_.Current();
    const bool ruled = !current.BuiltInFirstLines.empty();
    const BookBefore before{ruled && current.ChapterIndex >= 0
                                ? BuiltInPlace(current, {current.ChapterIndex, 0}).chapter
                                : current.ChapterIndex,
                            ruled ? BuiltInPlace(current, place) : place, current.ChosenEncoding, ruled};
    loadRule_ = rules_.RuleForBook(current.Path, current.Rule.isEmpty() ? std::nullopt : std::optional(current.Rule));
    LoadStart start = StartReload(state_, slot, choice);
    if (!start.reader) {
        FinishReload(slot, place, placeText, path, std::nullopt, start.result);
        return;
    }
    if (!readingAgain_.contains(slot))
        readingAgain_.insert(slot, before);
    const int kept = start.keptChapter;
    opening_ = true;
    state_.LoadingBook = -1;
    ReadInto(slot, std::move(start.reader), choice, [this, slot, place, placeText, path, kept](const LoadResult& done) {
        FinishReload(slot, place, placeText, path, kept, done);
        EndLoad();
    });
}

// `keptChapter` is the chapter shown before the reading; none when the file
// was not read at all.
void Reader::FinishReload(int slot, const ReadingPlace& place, const QString& placeText, const QString& path,
                          std::optional<int> keptChapter, const LoadResult& result)
{
    Book* reloaded = state_.Books.BookAt(slot);
    if (!reloaded)
        return;
    Book& book = *reloaded;
    if (keptChapter && result.error == LoadError::None)
        EndReload(book, *keptChapter);
    const bool placeHolds = place.chapter >= 0 && place.chapter == book.ChapterIndex
        && place.chapter <= book.LastChapter() && book.ChapterTexts[place.chapter] == placeText;
    if (!placeHolds)
        book.Place = {};
    // The user may have gone to another book while this one was read. The
    // chapter menu may list the old titles under the same key: list anew.
    if (state_.CurrentBook == slot) {
        view_.ListChapters(slot, true);
        ShowChapter();
        ReturnToPlace();
    }
    emit LoadFinished();
    CheckLoad(path, result);
}

// Reads a load's result for an open command. A missing file, a file that
// exists but cannot be read, and a book cut off at the last chapter the
// store can number are reported in a "提示" box; a full store is left to
// the caller (the folder scan sums it up once).
Reader::LoadCheck Reader::CheckLoad(const QString& path, const LoadResult& result, bool nameTheFile)
{
    using Kind = LoadCheck::Kind;
    if (result.error == LoadError::Interrupted)
        return {Kind::Failed, 0};
    if (!result.Message.isEmpty()) {
        // A book named from outside the window is named back, with why it
        // did not open; the open dialog and the recent list say it as they
        // always did.
        if (nameTheFile) {
            const QString reason = IsFolder(path) ? QStringLiteral("是文件夹，不是文本文件")
                : PathExists(path)                ? QStringLiteral("无法读取")
                                                  : QStringLiteral("找不到文件");
            Tell(QStringLiteral("文件打开错误!\n文件: %1\n原因: %2").arg(ReadablePath(path), reason));
        } else {
            Tell(LoadFailureText(result));
        }
        return {Kind::Failed, 0};
    }
    switch (result.error) {
    case LoadError::None: return {Kind::Book, result.Code};
    case LoadError::ReadFailed:
        Tell(QStringLiteral("文件打开错误!无法读取该文件:\n") + ReadablePath(path));
        return {Kind::Failed, 0};
    case LoadError::Outgrown:
        Tell(QStringLiteral("文件打开错误!该文件在读取时不断变大，已停止读取:\n") + ReadablePath(path));
        return {Kind::Failed, 0};
    case LoadError::Overflow:
        // A book stopped at the last chapter the store can number stays in
        // it, cut off; a full store has no slot for the book at all.
        if (const int slot = state_.Books.FindByPath(path)) {
            const Book& book = *state_.Books.BookAt(slot);
            Tell(QStringLiteral("溢出：《%1》的章节超过 %2 个，只打开了前 %2 章。")
                     .arg(book.FileName)
                     .arg(book.LastChapter() + 1));
            return {Kind::Book, slot};
        }
        return {Kind::StoreFull, 0};
    case LoadError::Interrupted: break;
    }
    return {Kind::Failed, 0};
}

// Appends CR LF and every chapter title of the current book to the pane,
// applies the skin and selects the contents view. The title panel ends as
// a redraw after each title would leave it: "目录" for a book of several
// chapters, the loader's chapter for a book of one.
void Reader::AppendContents()
{
    if (!state_.Books.IsBook(state_.CurrentBook))
        return;
    view_.AppendPaneText(AppendedContentsText(state_.Current()));
    if (state_.Current().LastChapter() > 0)
        state_.Current().ChapterIndex = -1;
    ApplySkin();
    state_.Current().ChapterIndex = -1;
}

bool Reader::PaneShowsOnlyALineEnd() const
{
    return view_.PaneText() == QStringLiteral("\r\n");
}
