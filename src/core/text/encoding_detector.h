#pragma once

#include "core/text/text_encoding.h"

#include <QByteArrayView>

#include <optional>

// The encoding a byte order mark at the start of `head` announces, if any
// (UTF-8, UTF-16 in either order, GB18030).
std::optional<TextEncoding> EncodingFromByteOrderMark(QByteArrayView head);

// Length of the byte order mark of `encoding` at the start of `head` (0 when
// there is none).
qsizetype ByteOrderMarkLength(QByteArrayView head, TextEncoding encoding);

// Checks UTF-8 strictly (no overlong forms, no surrogates, nothing above
// U+10FFFF) across any number of blocks.
class Utf8Validator {
public:
    // False as soon as the bytes seen so far cannot be valid UTF-8.
    bool Feed(QByteArrayView bytes);
    // True when everything fed was valid and no sequence is left open.
    bool Finish() const { return valid_ && pending_ == 0; }
    // Characters seen so far written with two bytes (U+0080..U+07FF: Latin,
    // Greek, Cyrillic…) and with three or four (every Chinese character).
    qint64 TwoByteCharacters() const { return twoByte_; }
    qint64 LongerCharacters() const { return longer_; }

private:
    bool valid_ = true;
    int pending_ = 0;                            // continuation bytes still expected
    unsigned char lower_ = 0x80, upper_ = 0xBF;  // range of the next continuation byte
    qint64 twoByte_ = 0;
    qint64 longer_ = 0;
};

// The encoding of a book without a byte order mark, judged from `sample`, its
// first bytes (`wholeFile` when the sample is all of it). UTF-16 and Big5
// are taken only on strong evidence; strictly valid UTF-8 is UTF-8 unless it
// is a few Latin or Cyrillic letters that read as GBK just as well; anything
// doubtful is GB18030.
TextEncoding DetectEncoding(QByteArrayView sample, bool wholeFile);

// How many bytes of a file DetectEncoding wants to see.
inline constexpr qsizetype kDetectionSampleSize = 1 << 20;
