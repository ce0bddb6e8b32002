#pragma once

#include "core/text/text_encoding.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <vector>

struct ChapterEntry {
    std::int16_t Number = 0;  // equal to the entry's own index
    QString Title;            // the heading line as cleaned by the recogniser
    // The line of the file (from 0) the chapter begins at: its heading, or
    // for a chapter 0 without one, the first line. Places are carried
    // between ways of splitting a book by line.
    std::int32_t FirstLine = 0;
    // A part of a chapter too long to read whole, numbered from 1, its
    // Title the chapter's heading followed by 「（n）」; 0 for a whole chapter.
    std::int16_t Part = 0;
    // A volume heading of a rule that knows volumes: the chapters after it,
    // up to the next volume, are its chapters.
    bool Volume = false;
    // The title in the script chosen for the book (繁简转换), as long as
    // Title; empty while the book is shown as its file has it. The Reader
    // keeps it, for every list of titles to show.
    QString ShownTitle{};

    const QString& Shown() const { return ShownTitle.isEmpty() ? Title : ShownTitle; }

    // The length of the heading line the chapter begins with, as stored; 0
    // when it begins with none (an untitled chapter 0, a later part).
    qsizetype HeadingLength() const
    {
        if (Part == 0)
            return Title.size();
        if (Part > 1)
            return 0;
        return Title.size() - 3;  // without 「（1）」
    }
};

// Where a book was being read inside a chapter: the chapter shown and the
// offset of the first character on screen in it. A character offset, not
// pixels, so it holds for any font size or window size.
struct ReadingPlace {
    std::int32_t chapter = -1;  // -1: not inside any chapter
    qsizetype offset = 0;
    bool operator==(const ReadingPlace&) const = default;
};

struct Book {
    std::uint8_t SkinIndex = 0;     // 0 = no skin chosen for this book yet
    std::int32_t ChapterIndex = 0;  // -1 = the contents view
    QString Path;                   // exactly as given to the loader; the book's identity
    QString FileName;
    std::vector<ChapterEntry> Chapters;  // 0..n, same bounds as ChapterTexts
    std::vector<QString> ChapterTexts;   // bodies, each line followed by CR LF
    // The encoding the text was decoded from, and what the last load was
    // asked to read it in (automatic: the encoding was detected).
    TextEncoding Encoding = TextEncoding::Gb18030;
    EncodingChoice ChosenEncoding = EncodingChoice::Automatic;
    // Where the reader left this book; it counts while Place.chapter is
    // still the book's ChapterIndex.
    ReadingPlace Place;
    // The heading rule the book is split by (empty: the built-in
    // recogniser), and then the heading lines of the built-in recogniser's
    // chapters (-1 for a chapter 0 without one), so that the settings files
    // keep its chapter numbers.
    QString Rule;
    std::vector<std::int32_t> BuiltInFirstLines;
    // After a load by the built-in recogniser that surveyed the rules: the
    // rule that splits the book clearly better, if any, and its chapters.
    QString BetterRule;
    int BetterRuleChapters = 0;

    // Highest chapter index n (-1 for the empty slot 0, which has no chapters).
    int LastChapter() const { return static_cast<int>(Chapters.size()) - 1; }
};

// Every book opened since start-up. Slot 0 is an empty placeholder; books
// occupy slots 1..Count() in load order and are never removed. A deque keeps
// books in place when the store grows.
class BookStore {
public:
    static constexpr int kMaxBooks = 255;

    BookStore() { slots_.emplace_back(); }

    int Count() const { return static_cast<int>(slots_.size()) - 1; }
    // Slot access; slot 0 is the placeholder.
    Book& operator[](int slot) { return slots_.at(slot); }
    const Book& operator[](int slot) const { return slots_.at(slot); }
    bool IsBook(int slot) const { return slot >= 1 && slot <= Count(); }
    // The book in `slot`, or null for the placeholder and any other number.
    Book* BookAt(int slot) { return IsBook(slot) ? &slots_[slot] : nullptr; }
    const Book* BookAt(int slot) const { return IsBook(slot) ? &slots_[slot] : nullptr; }

    // First slot whose Path equals `path` exactly (case-sensitive), or 0.
    int FindByPath(const QString& path) const;
    // Appends a book with one empty chapter and returns its slot, or 0 when
    // the store already holds kMaxBooks (nothing changes then).
    int Add(const QString& path, const QString& fileName);

private:
    std::deque<Book> slots_;
};
