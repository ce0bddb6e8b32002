#pragma once

#include <QStringView>

// True when `text` as a whole is a decimal number (optional sign, digits with
// optional "," between digits, optional point with digits, optional
// exponent) without fractional part, and reading it from the left up to the
// first "," gives the same value. So "12", "007", "-3", "3.0" and "1e3" are
// whole numbers; "3.5" and "1,000" are not.
bool IsWholeNumber(QStringView text);

// True for a calendar date written with "-" or "/" ("2009-10-01",
// "10/1/2009", "10-01") or a time of day h:mm or h:mm:ss.
bool IsDateOrTime(QStringView text);
