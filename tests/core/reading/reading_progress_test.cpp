#include "core/reading/reading_progress.h"

#include <gtest/gtest.h>

namespace {

Book ThreeChapters()
{
    Book book;
    book.Chapters = {{0, QStringLiteral("序")}, {1, QStringLiteral("第一章 风雨")}, {2, QStringLiteral("第二章")}};
    book.ChapterTexts = {QString(100, u'甲'), QString(300, u'乙'), QString(600, u'丙')};
    return book;
}

// The share of the book before the place, and the rest of the chapter at
// a pace learnt only from reading forward at a plausible speed.
TEST(ReadingProgress, ShareAndTimeLeftAtTheReadersPace)
{
    const Book book = ThreeChapters();
    EXPECT_DOUBLE_EQ(ShareRead(book, {1, 150}), 0.25);
    EXPECT_DOUBLE_EQ(ShareRead(book, {2, 9999}), 1.0);

    ReadingPace pace;
    pace.Note({1, 0}, 0);
    pace.Note({1, 200}, 15);     // 800 a minute
    pace.Note({1, 100}, 30);     // back: not reading
    pace.Note({2, 0}, 40);       // another chapter: a jump
    pace.Note({2, 5000}, 50);    // too far at once
    pace.Note({2, 5300}, 1000);  // after a long pause
    EXPECT_DOUBLE_EQ(pace.CharactersPerMinute(), 0.7 * ReadingPace::kStartingPace + 0.3 * 800);

    // 150 characters left at 520 a minute: under a minute.
    EXPECT_EQ(ProgressText(book, {1, 150}, pace), QStringLiteral("第一章 风雨 · 全书 25.0% · 本章约剩 1 分钟"));
    EXPECT_EQ(ProgressText(book, {-1, 0}, pace), QStringLiteral("目录"));
}

}  // namespace
