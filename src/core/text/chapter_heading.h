#pragma once

#include <QString>

// Decides whether one line of a book starts a new chapter. Lines of 30 or
// more characters (leading and trailing spaces aside) are never headings and
// are left alone; a shorter line is replaced by its cleaned form (every "〓"
// deleted, then leading and trailing spaces removed), heading or not, and
// the loader stores that cleaned line.
bool IsChapterHeading(QString& line);

// A quick test for the loader: false proves that IsChapterHeading rejects
// the line, and that cleaning leaves it as it is (it holds no "〓" and no
// outer space), so it can be stored without a copy. Every heading holds an
// ASCII digit, a Chinese numeral or one of a few marker characters.
bool NeedsHeadingTest(QStringView line);

// Lines at least this long (without outer spaces) are never headings.
inline constexpr qsizetype kHeadingLengthLimit = 30;

// Length of `line` without leading and trailing U+0020 spaces. Only the
// ASCII space counts: ideographic spaces and tabs stay.
qsizetype LengthWithoutOuterSpaces(QStringView line);

// `line` without leading and trailing U+0020 spaces.
QStringView TrimSpaces(QStringView line);
