#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Converters between skin setting texts and the numbers the drawing code
// and the skin manager use. They take the text as a skin file holds it and
// accept outer U+0020 spaces only; anything else that is not the plain
// decimal form gives nullopt, and the caller keeps its current value.

// A colour: red + 256 * green + 65536 * blue in decimal, read as a 32-bit
// signed integer (values outside 0..16777215 are returned as they are).
// An optional sign is accepted; a fraction is rounded to the nearest
// integer, halves to even. Exponents, hex and digits other than ASCII are not.
std::optional<std::int32_t> ParseSkinColour(const QString& text);

// A font size in points: decimal digits with an optional fraction ("12",
// "10.5", ".5"), positive and finite. No exponent, "inf" or "nan".
std::optional<double> ParsePointSize(const QString& text);

// The shortest plain decimal text that reads back as the same
// single-precision number: 12 -> "12", 10.5 -> "10.5". Empty for infinity
// and NaN.
QString FormatPointSize(float points);
