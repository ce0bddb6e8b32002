#pragma once

#include <QColor>

#include <cstdint>

// Colours are stored as red + 256 * green + 65536 * blue.
inline QColor ColourFromValue(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

inline std::int32_t ValueFromColour(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

inline QColor Rgb(int red, int green, int blue)
{
    return QColor(red, green, blue);
}
