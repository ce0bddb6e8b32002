#pragma once

#include "core/books/book_positions.h"
#include "core/books/reader_memory.h"
#include "core/books/text_loader.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class BookLoad;
class ReaderView;
struct LoadCheck;

// The one owner of the reading state: the book store, the current book,
// its chapter and place, and the skin in use. Windows and dialogs ask it
// with verbs and follow its signals; nothing else changes that state.
// Books are read on a worker thread (BookLoad), one at a time, in the
// order they were asked for; the window's thread never waits on a file.
class Reader : public QObject {
    Q_OBJECT
public:
    Reader(ReaderView& view, ReaderMemory& memory, QObject* parent = nullptr);
    ~Reader() override;

    ReaderMemory& Memory() { return memory_; }

    // How a book is opened, each as its command always opened it.
    enum class OpenKind {
        Chosen,  // the open dialog, the command line, a hand-over, a drop: the pane is emptied first
        Recent,  // 最近打开的文件
        Plain,   // start-up's help document and the folder scan: no book.ini restore
    };
    // Whether a book is being read (or waiting to be): the open and recent
    // commands and the encoding menu refuse while one is.
    bool Loading() const;
    // Opens `paths` one after the other, after any opens still waiting.
    void Open(const QStringList& paths, OpenKind kind);
    // The open and recent commands: refused with a message while a book loads.
    void OpenCommand(const QString& path, OpenKind kind);
    // Opens every path of a folder scan, then calls `done` with how many
    // books opened and how many found no room in the store.
    void OpenFolder(const QStringList& paths, const std::function<void(int opened, int leftOut)>& done);
    // The load in progress stops, and the waiting opens are dropped.
    void StopLoading();

    // Moves.
    void StepChapter(int delta);
    void ShowContents();
    void StepBook(int delta);
    void ShowBook(int slot);
    // A chapter number beyond the index range changes nothing, and the
    // chapter is shown again.
    void GoToChapter(std::int64_t chapter);
    // Skin `index` of the table becomes the one in use, and the current book's.
    void ChooseSkin(int index);
    // The skin named "言情" (or any name) becomes the one in use at start-up.
    void UseSkinNamed(const QString& name);
    // Reads the current book again in `choice` and remembers it for the book.
    void ChooseEncoding(EncodingChoice choice);

    // Saves book.ini and book.pos for the books in the store.
    ReaderMemory::Saved Save();

signals:
    // A load has ended (the open, its restore and its messages are done).
    void LoadFinished();
    // No book is being read or waiting any more.
    void Idle();

private:
    struct OpenRequest {
        QString path;
        OpenKind kind = OpenKind::Chosen;
        bool partOfScan = false;
    };
    void OpenNext();
    void StartOpen(const OpenRequest& request);
    // Reads `path` into a new slot (or finds it in the store) and calls
    // `then` with the result once the book is read.
    void Load(const QString& path, EncodingChoice choice, std::function<void(const LoadResult&)> then);
    // Reads the file `reader` has open into book `slot` on a worker thread.
    void ReadInto(int slot, std::unique_ptr<TextFileReader> reader, EncodingChoice choice,
                  std::function<void(const LoadResult&)> then);
    void FinishOpen(const OpenRequest& request, bool alreadyOpen, const std::optional<RememberedPosition>& remembered,
                    const LoadResult& result);
    LoadCheck FinishPlainOpen(const QString& path, const LoadResult& result);
    void FinishReload(int slot, const ReadingPlace& place, const QString& placeText, const QString& path,
                      int keptChapter, const LoadResult& result);
    void ShowArrivingChapters(bool showBeginning, bool chapterOneUnderWay);
    void EndLoad();
    void AfterMove();

    struct RestoreOutcome {
        bool readable = true;   // false ends the open command
        bool hadFile = false;   // book.ini exists
        bool restored = false;  // its line for the book was read back
    };
    RestoreOutcome Restore(const QString& path);

    ReaderView& view_;
    ReaderMemory& memory_;
    std::unique_ptr<BookLoad> load_;
    std::function<void(const LoadResult&)> afterLoad_;
    QList<OpenRequest> waiting_;
    bool opening_ = false;  // an open is between its start and its end
    struct FolderScan {
        int pending = 0;
        int opened = 0;
        int leftOut = 0;
        std::function<void(int, int)> done;
    };
    std::optional<FolderScan> scan_;
};
