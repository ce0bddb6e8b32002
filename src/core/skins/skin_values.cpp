#include "core/skins/skin_values.h"

#include "core/text/chapter_heading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// [sign] digits [. digits], with at least one digit, after the outer
// spaces are trimmed. The digits are kept as ASCII for the converters.
struct DecimalText {
    bool negative = false;
    std::string whole;     // digits before the point
    std::string fraction;  // digits after it
};

std::optional<DecimalText> SplitDecimal(const QString& text)
{
    const QStringView s = TrimSpaces(text);
    DecimalText decimal;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        decimal.negative = s[i++] == u'-';
    while (i < s.size() && IsAsciiDigit(s[i]))
        decimal.whole += static_cast<char>(s[i++].unicode());
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && IsAsciiDigit(s[i]))
            decimal.fraction += static_cast<char>(s[i++].unicode());
    }
    if (i != s.size() || (decimal.whole.empty() && decimal.fraction.empty()))
        return std::nullopt;
    return decimal;
}

// Whether the fraction rounds the whole part up: above one half always,
// exactly one half only when the whole part is odd.
bool RoundsUp(const std::string& fraction, std::int64_t whole)
{
    if (fraction.empty() || fraction.front() < '5')
        return false;
    if (fraction.front() > '5')
        return true;
    if (fraction.find_first_not_of('0', 1) != std::string::npos)
        return true;
    return whole % 2 != 0;
}

}  // namespace

std::optional<std::int32_t> ParseSkinColour(const QString& text)
{
    const std::optional<DecimalText> decimal = SplitDecimal(text);
    if (!decimal)
        return std::nullopt;
    // One past the largest magnitude is enough to tell overflow; leading
    // zeros never overflow.
    constexpr std::int64_t kLimit = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (char digit : decimal->whole) {
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude > kLimit)
            return std::nullopt;
    }
    if (RoundsUp(decimal->fraction, magnitude))
        ++magnitude;
    const std::int64_t value = decimal->negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> ParsePointSize(const QString& text)
{
    const std::optional<DecimalText> decimal = SplitDecimal(text);
    if (!decimal || decimal->negative)
        return std::nullopt;
    // Always digits on both sides of the point, so "12." and ".5" convert too.
    const std::string plain = (decimal->whole.empty() ? "0" : decimal->whole) + '.' + decimal->fraction + '0';
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

QString FormatPointSize(float points)
{
    if (!std::isfinite(points))
        return {};
    // Fixed notation keeps exponents out of skin files; the shortest
    // round-trip digits keep 10.5 from turning into 10.5000000001.
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, points, std::chars_format::fixed);
    if (error != std::errc())
        return {};
    return QString::fromLatin1(buffer, end - buffer);
}
