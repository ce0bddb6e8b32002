#pragma once

#include "core/books/book_store.h"

#include <QString>

#include <optional>

// How far into a book a place is, as a share of all its text (0 to 1).
double ShareRead(const Book& book, const ReadingPlace& place);

// The reader's own pace, learnt from how the page moves on while they read:
// a move forward within the same chapter that took a plausible time counts;
// jumps, going back and long pauses do not.
class ReadingPace {
public:
    // The first character on screen, at `seconds` on any steady clock.
    void Note(const ReadingPlace& place, double seconds);
    double CharactersPerMinute() const { return perMinute_; }
    // Minutes to read `characters` more at this pace.
    double MinutesFor(qsizetype characters) const { return static_cast<double>(characters) / perMinute_; }

    static constexpr double kStartingPace = 400;  // characters a minute, a leisurely reader of Chinese

private:
    std::optional<ReadingPlace> last_;
    double lastSeconds_ = 0;
    double perMinute_ = kStartingPace;
};

// The status line: "第12章 风雨 · 全书 34.5% · 本章约剩 6 分钟".
QString ProgressText(const Book& book, const ReadingPlace& place, const ReadingPace& pace);
