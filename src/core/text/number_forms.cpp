#include "core/text/number_forms.h"

#include <QList>

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads a decimal number from the start of `text` by our own grammar, never
// by toDouble (which takes "inf" and "nan"). With `commas`, a "," between
// two digits of the integer part is a thousands separator. Returns the value
// and sets `length` to the characters read; nullopt when no number starts there.
std::optional<double> ReadDecimal(QStringView text, bool commas, qsizetype& length)
{
    std::string plain;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        plain += static_cast<char>(text[i++].unicode());
    const qsizetype digitsStart = i;
    while (i < n) {
        if (IsAsciiDigit(text[i])) {
            plain += static_cast<char>(text[i++].unicode());
        } else if (commas && text[i] == u',' && i > digitsStart && i + 1 < n && IsAsciiDigit(text[i + 1])) {
            ++i;
        } else {
            break;
        }
    }
    if (i == digitsStart)
        return std::nullopt;
    if (i + 1 < n && text[i] == u'.' && IsAsciiDigit(text[i + 1])) {
        plain += '.';
        ++i;
        while (i < n && IsAsciiDigit(text[i]))
            plain += static_cast<char>(text[i++].unicode());
    }
    if (i + 1 < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponent += static_cast<char>(text[j++].unicode());
        if (j < n && IsAsciiDigit(text[j])) {
            while (j < n && IsAsciiDigit(text[j]))
                exponent += static_cast<char>(text[j++].unicode());
            plain += exponent;
            i = j;
        }
    }
    const char* begin = plain.data();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    length = i;
    return value;
}

// Splits `text` into numeric fields at `separator`; false when a field is
// not 1 to 4 ASCII digits.
bool SplitNumbers(QStringView text, QChar separator, int (&fields)[3], int (&widths)[3], int& count)
{
    count = 0;
    for (QStringView part : text.split(separator)) {
        if (count == 3 || part.isEmpty() || part.size() > 4)
            return false;
        int value = 0;
        for (QChar c : part) {
            if (!IsAsciiDigit(c))
                return false;
            value = value * 10 + (c.unicode() - u'0');
        }
        widths[count] = static_cast<int>(part.size());
        fields[count++] = value;
    }
    return true;
}

bool IsCalendarDay(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 0 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

bool IsDate(QStringView text)
{
    for (QChar separator : {QChar(u'-'), QChar(u'/')}) {
        if (!text.contains(separator))
            continue;
        int f[3], w[3], count = 0;
        if (!SplitNumbers(text, separator, f, w, count) || count < 2)
            return false;
        constexpr int kAnyYear = 2000;  // a leap year: a date without year may be Feb 29
        if (count == 2) {
            return IsCalendarDay(kAnyYear, f[0], f[1])           // m-d
                || IsCalendarDay(kAnyYear, f[1], f[0])           // d-m
                || (w[0] == 4 && IsCalendarDay(f[0], f[1], 1))   // yyyy-m
                || (w[1] == 4 && IsCalendarDay(f[1], f[0], 1));  // m-yyyy
        }
        return IsCalendarDay(f[0], f[1], f[2])   // y-m-d
            || IsCalendarDay(f[2], f[0], f[1])   // m-d-y
            || IsCalendarDay(f[2], f[1], f[0]);  // d-m-y
    }
    return false;
}

bool IsTimeOfDay(QStringView text)
{
    const auto parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const QStringView part = parts[k];
        if (part.isEmpty() || part.size() > 2)
            return false;
        int value = 0;
        for (QChar c : part) {
            if (!IsAsciiDigit(c))
                return false;
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > (k == 0 ? 23 : 59))
            return false;
    }
    return true;
}

}  // namespace

bool IsWholeNumber(QStringView text)
{
    qsizetype length = 0;
    const std::optional<double> whole = ReadDecimal(text, true, length);
    if (!whole || length != text.size() || std::trunc(*whole) != *whole)
        return false;
    qsizetype leftLength = 0;
    const std::optional<double> left = ReadDecimal(text, false, leftLength);
    return left && *left == *whole;
}

bool IsDateOrTime(QStringView text)
{
    return IsDate(text) || IsTimeOfDay(text);
}
