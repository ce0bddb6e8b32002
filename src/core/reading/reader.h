#pragma once

#include "core/books/book_positions.h"
#include "core/books/find_all.h"
#include "core/books/reader_memory.h"
#include "core/books/reader_state.h"
#include "core/books/rule_memory.h"
#include "core/books/rule_preview.h"
#include "core/books/script_memory.h"
#include "core/books/search_text.h"
#include "core/books/text_loader.h"
#include "core/library/library_store.h"
#include "core/text/script_converter.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct SyncOutcome;

class BookLoad;
class BookSurvey;
class ReaderView;

// The skin night mode shows.
inline constexpr char16_t kNightSkinName[] = u"夜读";

// The one owner of the reading state: the book store, the current book,
// its chapter and place, and the skins. Windows and dialogs ask it with
// verbs and read the state back; nothing else changes it. It shows what it
// changed through the main window (ReaderView).
//
// Books are read on a worker thread (BookLoad), one at a time, in the order
// they were asked for; the window's thread never waits on a file.
class Reader : public QObject {
    Q_OBJECT
public:
    Reader(ReaderState& state, const ReaderFolders& folders, ReaderView& view, QObject* parent = nullptr);
    ~Reader() override;

    const ReaderState& State() const { return state_; }
    const ReaderFolders& Folders() const { return folders_; }
    ReaderMemory& Memory() { return memory_; }
    // Every book ever read (书架) and the bookmarks.
    LibraryStore& Library();
    // The folder the last book was chosen in: where a folder scan starts.
    // The process's current folder until a book is chosen.
    QString LastFolder() const { return lastFolder_; }

    // How a book is opened, each as its command always opened it.
    enum class OpenKind {
        Chosen,   // the open dialog: the pane is emptied first
        Outside,  // the command line, a hand-over, a drop: as Chosen, and a failure names the file
        Recent,   // 最近打开的文件
        Plain,    // start-up's help document and the folder scan (OpenBook): no book.ini restore
    };
    // Whether a book is being read or waiting to be: the open and recent
    // commands and the encoding menu refuse while one is.
    bool Loading() const;
    // Opens `paths` one after the other, after any opens still waiting.
    void Open(const QStringList& paths, OpenKind kind);
    // The open and recent commands: refused with a message while a book loads.
    void OpenCommand(const QString& path, OpenKind kind);
    // Opens every path of a folder scan, then calls `done` with how many
    // books opened and how many found no room in the store.
    void OpenFolder(const QStringList& paths, const std::function<void(int opened, int leftOut)>& done);
    // The load in progress stops, and the waiting opens are dropped: the
    // program is closing.
    void StopLoading();

    // Moves.
    void StepChapter(int delta);
    void ShowContents();
    void StepBook(int delta);
    // The books menu: book `slot` in its own skin, where it was being read.
    void ShowBook(int slot);
    // A chapter number beyond the index range changes nothing, and the
    // chapter is shown again.
    void GoToChapter(std::int64_t chapter);
    // Shows `place` (in the built-in recogniser's numbers, as the library
    // keeps it) of the book at `path`, opening the book first when it is
    // not open: a bookmark, a book of the library.
    void GoToPlace(const QString& path, const ReadingPlace& place);
    // A hit found in the file of a book of the library, in the built-in
    // recogniser's chapters and the file's own text (offset -1: in the
    // chapter's heading): shown selected, the book opened first if need be.
    void ShowFoundInFile(const QString& path, int chapter, qsizetype offset, qsizetype length);
    // The voice reading aloud is at `offset` of the chapter shown: that is
    // the book's place now.
    void NoteSpokenPlace(qsizetype offset);
    // Marks the place being read (书签), with a line of its text and `note`.
    FileWriteResult AddBookmark(const QString& note = {});
    // Reads the current book again in `choice` and remembers it for the book.
    void ChooseEncoding(EncodingChoice choice);

    // Heading rules. The rules a book can be split by: the built-in
    // recogniser's name first, the shipped rules, then the user's own, each
    // with how many headings it finds in the current book (counted on a
    // worker thread; `done` runs on this thread, -1 counts for a book that
    // cannot be read).
    void CountRules(std::function<void(QList<RuleRow>)> done);
    // The same rules, not counted yet.
    QList<RuleRow> RuleRows();
    // What the rule would make of the current book, without changing it.
    void PreviewRule(const QString& name, std::function<void(RulePreview)> done);
    // Splits the current book again by the rule (the built-in recogniser by
    // its name), at the same reading place, and remembers it for the book.
    void ChooseRule(const QString& name);
    // The rule offered for book `slot` (RuleOffered), taken or turned down;
    // either way it is not offered again.
    void AnswerRuleOffer(int slot, bool take);
    // Line `line` of the current book's file (from 0) made a heading, or
    // plain text, by hand: kept for the book, which is split again at the
    // same place.
    void MarkHeading(std::int32_t line, bool heading);
    RuleMemory& Rules() { return rules_; }

    // 繁简转换: the script the current book is shown in (None without a
    // book). Its chapters, titles and caption are shown converted, and find
    // looks in them as shown; offsets mean the same in either script.
    ScriptChoice Script();
    // Shows the current book in `choice` at the same place, and keeps the
    // choice for the book in book.script. Refused with a message when
    // OpenCC's tables cannot be read.
    void ChooseScript(ScriptChoice choice);
    // Why books cannot be converted, for the user; empty when they can.
    QString ScriptProblem() const;
    ScriptConverters& Scripts() { return converters_; }
    // Whether the pane shows chapter `chapter` of the current book as
    // ShowChapter put it there.
    bool PaneShowsChapter(int chapter) const;

    // Skins: the skin folder at start-up (false when it cannot be listed),
    // the skin named `name` in use, skin `index` of the table in use and
    // the current book's, the table read again (the skin manager), a saved
    // skin stored in the table.
    bool LoadSkins();
    // Night mode: the skin kNightSkinName shown over every book's own,
    // which stays the book's. False when there is no such skin.
    bool SetNightMode(bool on);
    bool NightMode() const { return state_.NightSkin != 0; }
    void UseSkinNamed(const QString& name);
    void ChooseSkin(int index);
    void ReloadSkins();
    void StoreSkin(SkinEntry saved);

    // Find: searches as SearchText does, from `cursor`. When nothing is
    // found the pane shows again what it showed.
    // A hit with a selection is shown in the middle of the pane.
    SearchResult Find(const QString& findWhat, SearchScope scope, const SearchCursor& cursor);
    // The previous hit, as SearchTextBackward finds it; shown as Find's.
    SearchResult FindPrevious(const QString& findWhat, SearchScope scope, const SearchCursor& cursor);
    // What a search for every hit of the scope reads, copied for a worker
    // thread: the pane's text, and the books from the cursor's on.
    FindAllInput FindAllSnapshot(const QString& findWhat, SearchScope scope, const SearchCursor& cursor);
    // Shows a hit of that list: chapter `chapter` of book `slot` (-1, the
    // contents view) with `length` characters at `offset` selected in the
    // middle of the pane (a heading hit, offset -1, selects nothing). False,
    // changing nothing, when the book or chapter is not there any more.
    bool GoToHit(int slot, int chapter, qsizetype offset, qsizetype length);

    // The selection in the pane, where a find goes on from.
    qsizetype SelectionStart() const;
    qsizetype SelectionEnd() const;

    // Saves book.ini and book.pos for the books in the store, and notes
    // every book in the library.
    ReaderMemory::Saved Save();
    // Notes where the current book is being read in the library now, so a
    // reader that does not get to close loses little.
    void NoteReadingPlace();

    // Sync: the rule chosen for each book, for a round to carry, and what a
    // round brought, followed by the books open now. True when the current
    // book moved to where it was read on another computer.
    QHash<QString, QString> RuleChoicesForSync() { return rules_.Choices(); }
    bool FollowSync(const SyncOutcome& outcome);

    // What every verb ends with, also callable on its own (the tests, the
    // benchmarks): the current chapter (or the contents view) in the pane
    // with its caption and skin; the chapter menu of the current book; the
    // skin painted again.
    void ShowChapter();
    void BuildChapterMenu();
    void ApplySkin();

signals:
    // The pane shows a chapter (or the contents view) anew.
    void ChapterShown();
    // A load has ended (the open, its restore and its messages are done).
    void LoadFinished();
    // No book is being read or waiting any more.
    void Idle();
    // The skin table has more entries (the skin manager saved or read it again).
    void SkinsChanged();
    // A rule splits book `slot`, just opened, clearly better than the
    // built-in recogniser: `text` says so, for a bar that offers it.
    void RuleOffered(int slot, const QString& text);
    // The library could not be written (the disk full, the file read-only).
    void LibraryUnwritable(const QString& reason);

private:
    // A place to show once the book at `path` has opened (in the built-in
    // recogniser's numbers), and the length of a hit there to select.
    struct PlaceAfterOpen {
        QString path;
        ReadingPlace place;
        qsizetype selected = 0;
    };
    struct OpenRequest {
        QString path;
        OpenKind kind = OpenKind::Chosen;
        bool partOfScan = false;
    };
    // How a load came out for the command that asked for it.
    struct LoadCheck {
        enum class Kind {
            Book,       // the book is in the store (perhaps cut off, which was reported)
            Failed,     // nothing to show; the user was told why
            StoreFull,  // the store holds its 255 books already; nobody was told yet
        };
        Kind kind = Kind::Failed;
        int slot = 0;
    };
    struct RestoreOutcome {
        bool readable = true;             // false ends the open command
        bool hadFile = false;             // book.ini exists
        bool restored = false;            // its line for the book was read back
        std::int32_t builtInChapter = 0;  // the chapter it names, in the built-in recogniser's numbers
    };
    struct FolderScan {
        int pending = 0;
        int opened = 0;
        int leftOut = 0;
        int lastRead = 0;  // the last book the scan read (not one open already)
        std::function<void(int, int)> done;
    };

    void OpenNext();
    void StartOpen(const OpenRequest& request);
    void EndLoad();
    // Reads `path` into a new slot (or finds it in the store) and calls
    // `then` with the result once the book is read.
    // A book named from outside may be a hidden file (`named`). A book
    // that may be offered a better heading rule (not one of a folder scan)
    // is surveyed for it while it is read (`offerRules`).
    void Load(const QString& path, EncodingChoice choice, std::function<void(const LoadResult&)> then,
              bool named = false, bool offerRules = true);
    // Reads the file `reader` has open into book `slot` on a worker thread.
    // `loadRule_` splits it; with `surveyRules` the load also looks for a
    // better rule than the built-in recogniser.
    void ReadInto(int slot, std::unique_ptr<TextFileReader> reader, EncodingChoice choice,
                  std::function<void(const LoadResult&)> then, bool surveyRules = false);
    void ShowArrivingChapters(bool showBeginning, bool chapterOneUnderWay);
    LoadCheck CheckLoad(const QString& path, const LoadResult& result, bool nameTheFile = false);
    LoadCheck FinishPlainOpen(const QString& path, const LoadResult& result);
    void CountScanned(const LoadCheck& check, bool read);
    void FinishOpen(const OpenRequest& request, bool alreadyOpen, const std::optional<RememberedPosition>& remembered,
                    const LoadResult& result);
    RestoreOutcome Restore(const QString& path);
    void FinishReload(int slot, const ReadingPlace& place, const QString& placeText, const QString& path,
                      std::optional<int> keptChapter, const LoadResult& result);
    void AppendContents();
    // The pane shows nothing but one line end: the contents view (or
    // chapter) of a book without a single heading or body line.
    bool PaneShowsOnlyALineEnd() const;
    void Tell(const QString& text);
    void StartSurvey(std::unique_ptr<BookSurvey> survey);
    void SplitByRule(int slot, const QString& name);
    void OfferBetterRule(int slot);
    ReaderState StateAsSaved(qsizetype& caret) const;
    using SearchFunction = SearchResult (*)(ReaderState&, SearchPane&, const QString&, SearchScope,
                                            const SearchCursor&);
    SearchResult RunSearch(SearchFunction search, const QString& findWhat, SearchScope scope,
                           const SearchCursor& cursor);

    void AfterMove();
    void RememberPlace();
    void NoteInLibrary(int slot);
    void AddToLibrary(int slot);
    void RestoreFromLibrary(const LibraryBook& known);
    // What the library knows of `path` when it is newer than book.ini and
    // book.pos: they have no line for the book (it was not open at the last
    // close), or the library noted it after they were written (the reader
    // did not get to close).
    std::optional<LibraryBook> NewerInLibrary(const QString& path);
    std::optional<LibraryBook> AgreedInSync(const QString& path);
    void ShowBuiltInPlace(const ReadingPlace& place);
    void ShowPlaceAfterOpen(const PlaceAfterOpen& after);
    void ReturnToPlace();
    // Whether the pane shows chapter `chapter` of `book`, as ShowChapter put it there.
    bool ShowsChapter(const Book& book, int chapter) const;
    ScriptChoice ScriptOf(const Book& book);
    // Chapter `chapter` of `book` in its script, kept for the pane
    // (`forPane`) or only looked at (find).
    QString ShownText(const Book& book, int chapter, bool forPane);
    // The titles of book `slot` in its script: those not converted yet
    // (just read), or all of them (`anew`).
    void ShowTitlesInScript(int slot, bool anew = false);

    ReaderState& state_;
    ReaderFolders folders_;
    ReaderView& view_;
    ReaderMemory memory_;
    std::unique_ptr<LibraryStore> library_;  // opened on first use
    RuleMemory rules_;
    ScriptMemory scripts_;
    ScriptConverters converters_;
    // The chapter last put in the pane converted: the text it came from
    // (sharing its storage, so the same storage means the same text) and
    // what it became.
    struct ShownChapter {
        ScriptChoice script = ScriptChoice::None;
        QString source;
        QString text;
    };
    ShownChapter shown_;
    // The rule the load under way splits by; null for the built-in recogniser.
    std::shared_ptr<const HeadingRule> loadRule_;
    std::vector<std::unique_ptr<BookSurvey>> surveys_;  // counts and previews under way
    QString lastFolder_;
    std::unique_ptr<BookLoad> load_;
    std::unique_ptr<BookLoad> endedLoad_;  // inside its last callback
    std::function<void(const LoadResult&)> afterLoad_;
    QList<OpenRequest> waiting_;
    bool opening_ = false;  // an open is between its start and its end
    std::optional<FolderScan> scan_;
    // Books whose reading has not finished (cut short by a close, a read
    // error): new ones are saved as the files had them, and one read again
    // in another encoding as it was before.
    struct BookBefore {
        std::int32_t chapterIndex = 0;
        ReadingPlace place;
        EncodingChoice chosenEncoding = EncodingChoice::Automatic;
        bool builtIn = false;  // in the built-in recogniser's chapters already
    };
    QList<int> unread_;
    bool spokenPlace_ = false;  // the place is a sentence read aloud, not the top of the page
    QSet<int> unlisted_;        // books the library does not keep
    std::optional<PlaceAfterOpen> placeAfterOpen_;
    QHash<int, BookBefore> readingAgain_;
};
