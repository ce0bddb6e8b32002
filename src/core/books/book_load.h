#pragma once

#include "core/books/text_loader.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

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
    struct Batch;
    class Worker;
    void Take(const Batch& batch);
    void End(LoadError error, TextEncoding encoding);

    ReaderState& state_;
    const int slot_;
    Callbacks callbacks_;
    std::atomic<bool> cancelled_{false};
    bool done_ = false;
    std::thread thread_;
};
