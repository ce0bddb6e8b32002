#pragma once

#include "core/books/text_loader.h"

#include <QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// One book read on a worker thread into a slot of the store, which stays on
// the window's thread. The worker fills a book of its own and hands over
// what it has read every few milliseconds (LoadTuning::yieldInterval); the
// slot is brought up to date on the window's thread, between events, so the
// window never waits on the file and never sees a chapter half written.
// Every callback runs on the thread that made the load.
class BookLoad : public QObject {
public:
    struct Callbacks {
        // The slot has more chapters (or was read again from the start).
        // `showBeginning`: the beginning of the book is there to show, as
        // the loader's early display shows it; `chapterOneUnderWay`: chapter 1
        // is being read, so the beginning may be shown if nothing else is.
        std::function<void(bool showBeginning, bool chapterOneUnderWay)> arrived;
        // The last callback: the book is whole, or as far as it was read.
        std::function<void(LoadError)> finished;
    };

    // Starts reading into book `slot` of `state`, which must hold one empty
    // chapter, from the file `reader` has open, decoded as `choice` asked.
    BookLoad(ReaderState& state, int slot, std::unique_ptr<TextFileReader> reader, EncodingChoice choice,
             Callbacks callbacks, const LoadTuning& tuning = {});
    // Stops the worker at its next look at the clock and waits for it.
    ~BookLoad() override;

    int Slot() const { return slot_; }
    bool Done() const { return done_; }

private:
    // Chapters `from` up to the last of the worker's book, the last one being
    // the chapter in progress (its title may still change, its text comes at
    // the end).
    struct Batch {
        int from = 0;
        std::vector<ChapterEntry> chapters;
        std::vector<QString> texts;
        TextEncoding encoding = TextEncoding::Gb18030;
        bool showBeginning = false;
        bool chapterOneUnderWay = false;
    };
    struct Ending {
        LoadError error = LoadError::None;
        TextEncoding encoding = TextEncoding::Gb18030;
        // What the load noted beside the chapters (see Book).
        std::vector<std::int32_t> builtInFirstLines;
        QString betterRule;
        int betterRuleChapters = 0;
    };
    class Worker;
    // The worker leaves its batches and its ending here, under the lock,
    // and posts a call of TakeMail to the window's thread.
    void Post(Batch batch);
    void PostEnding(Ending ending);
    void TakeMail();
    void Take(const Batch& batch);
    void End(const Ending& ending);

    ReaderState& state_;
    const int slot_;
    Callbacks callbacks_;
    std::atomic<bool> cancelled_{false};
    bool done_ = false;
    std::mutex mailLock_;
    std::deque<Batch> mail_;
    std::optional<Ending> ending_;
    std::thread thread_;
};
