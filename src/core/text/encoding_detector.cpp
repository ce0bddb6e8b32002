#include "core/text/encoding_detector.h"

#include "core/text/text_decoder.h"

#include <QChar>

#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// UTF-16 and Big5 are judged on this much of the sample, ICU's statistics
// on its first 8000 bytes (ICU looks no further, and takes 5 ms for them).
constexpr qsizetype kStatisticsSize = 64 * 1024;
constexpr qsizetype kIcuSampleSize = 8000;

// Valid UTF-8 made only of this few two-byte letters, which read as GBK just
// as well ("小说" is D0 A1 CB B5, two Cyrillic-range letters), is GBK.
constexpr qint64 kFewLetters = 16;

// ICU's confidence (0..100) that a sample is Big5, and how far it must beat
// its confidence in GB18030. On Big5 text ICU says 97..100 for Big5 and at
// most 59 for GB18030; on GBK text at most 63 for Big5.
constexpr int kBig5Confidence = 90;
constexpr int kBig5Margin = 25;
// Double-byte characters needed before Big5 is considered, and the share of
// invalid ones allowed (GBK text has about 4 in 100, plus the private-use
// ones below; Big5 none). On fewer characters ICU's statistics are noise: a
// 16-character line of 水浒传 in GBK scores 100 for Big5.
constexpr qsizetype kBig5MinimumCharacters = 32;
constexpr qsizetype kBig5InvalidPerMille = 1;

// Characters common in Chinese books besides ASCII: punctuation, symbols,
// CJK ideographs and full-width forms.
bool IsCommonInChineseText(char16_t c)
{
    return (c >= 0x00A0 && c <= 0x00FF) || (c >= 0x2000 && c <= 0x206F) || (c >= 0x2150 && c <= 0x218F)
        || (c >= 0x2460 && c <= 0x26FF) || (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x3000 && c <= 0x4DBF)
        || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFFEF);
}

// UTF-16 in one byte order: no NUL, no control other than tab, CR and LF,
// no unpaired surrogate, some ASCII (so the file has NUL bytes, which GBK,
// Big5 and UTF-8 text never has) and nine characters in ten ASCII or common
// in Chinese books.
bool LooksLikeUtf16(QByteArrayView sample, bool bigEndian, bool wholeFile)
{
    qsizetype size = std::min(sample.size(), kStatisticsSize);
    if (size % 2 != 0) {
        if (wholeFile && size == sample.size())
            return false;
        --size;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
    if (std::memchr(bytes, 0, size) == nullptr)
        return false;  // no ASCII character at all in UTF-16
    auto unitAt = [&](qsizetype i) {
        return bigEndian ? static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1])
                         : static_cast<char16_t>(bytes[i + 1] << 8 | bytes[i]);
    };
    qsizetype units = 0, ascii = 0, common = 0;
    for (qsizetype i = 0; i < size; i += 2) {
        const char16_t unit = unitAt(i);
        ++units;
        if (unit == 0 || unit == 0xFFFE || unit == 0xFFFF)
            return false;
        if (unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r')
            return false;
        if (QChar::isLowSurrogate(unit))
            return false;
        if (QChar::isHighSurrogate(unit)) {
            if (i + 2 >= size) {
                if (wholeFile && size == sample.size())
                    return false;  // the file ends in half a character
                break;             // the sample cuts the pair
            }
            if (!QChar::isLowSurrogate(unitAt(i + 2)))
                return false;
            i += 2;
            ++common;  // an ideograph beyond the first plane
        } else if (unit < 0x7F) {
            ++ascii;
        } else if (IsCommonInChineseText(unit)) {
            ++common;
        }
    }
    return units >= 2 && ascii > 0 && (ascii + common) * 10 >= units * 9;
}

// Strictly valid UTF-8 that is not a few two-byte letters which GBK reads
// just as well.
bool LooksLikeUtf8(QByteArrayView sample, bool wholeFile)
{
    Utf8Validator validator;
    if (!validator.Feed(sample) || (wholeFile && !validator.Finish()))
        return false;
    if (validator.LongerCharacters() > 0 || validator.TwoByteCharacters() == 0
        || validator.TwoByteCharacters() >= kFewLetters)
        return true;
    TextDecoder gbk(TextEncoding::Gb18030);
    QString text;
    gbk.Decode(sample, text);
    return gbk.InvalidSequences() > 0;
}

struct DetectorCloser {
    void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
};

// ICU's confidence in Big5 and in GB18030 for `sample`.
void IcuConfidence(QByteArrayView sample, int& big5, int& gb18030)
{
    big5 = gb18030 = 0;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorCloser> detector(ucsdet_open(&status));
    ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    if (U_FAILURE(status))
        return;
    for (int32_t i = 0; i < count; ++i) {
        const char* name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_FAILURE(status) || !name)
            return;
        if (std::strcmp(name, "Big5") == 0)
            big5 = confidence;
        else if (std::strcmp(name, "GB18030") == 0)
            gb18030 = confidence;
    }
}

// Big5 on strong evidence only: the bytes read as Big5 with next to no
// invalid sequence, and ICU's frequent-character statistics say Big5
// clearly and GB18030 much less.
bool LooksLikeBig5(QByteArrayView sample)
{
    const QByteArrayView head = sample.first(std::min(sample.size(), kStatisticsSize));
    TextDecoder big5(TextEncoding::Big5);
    QString text;
    big5.Decode(head, text);
    // Code page 950 gives every code of its user-defined areas, where GBK
    // keeps 请, 人 and most traditional characters, a private-use character:
    // in a Big5 book those are as good as invalid.
    qsizetype doubleByte = 0;
    qint64 invalid = big5.InvalidSequences();
    for (const QChar c : text) {
        doubleByte += c.unicode() >= 0x80 ? 1 : 0;
        invalid += c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF ? 1 : 0;
    }
    if (doubleByte - invalid < kBig5MinimumCharacters || invalid * 1000 > doubleByte * kBig5InvalidPerMille)
        return false;
    int big5Confidence = 0, gb18030Confidence = 0;
    IcuConfidence(head.first(std::min(head.size(), kIcuSampleSize)), big5Confidence, gb18030Confidence);
    return big5Confidence >= kBig5Confidence && gb18030Confidence + kBig5Margin <= big5Confidence;
}

}  // namespace

std::optional<TextEncoding> EncodingFromByteOrderMark(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    if (head.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (head.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    if (head.startsWith("\x84\x31\x95\x33"))
        return TextEncoding::Gb18030;
    return std::nullopt;
}

qsizetype ByteOrderMarkLength(QByteArrayView head, TextEncoding encoding)
{
    if (EncodingFromByteOrderMark(head) != encoding)
        return 0;
    switch (encoding) {
    case TextEncoding::Utf8: return 3;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: return 2;
    case TextEncoding::Gb18030: return 4;
    case TextEncoding::Big5: break;
    }
    return 0;
}

bool Utf8Validator::Feed(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (valid_ && p < end) {
        if (pending_ == 0) {
            // Plain ASCII runs are the common case: skip them eight bytes at a time.
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                if (word & 0x8080808080808080ULL)
                    break;
                p += 8;
            }
            if (p == end)
                break;
            const unsigned char b = *p++;
            if (b < 0x80)
                continue;
            lower_ = 0x80;
            upper_ = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                pending_ = 1;
                ++twoByte_;
            } else if (b >= 0xE0 && b <= 0xEF) {
                pending_ = 2;
                ++longer_;
                if (b == 0xE0)
                    lower_ = 0xA0;  // overlong
                if (b == 0xED)
                    upper_ = 0x9F;  // surrogates
            } else if (b >= 0xF0 && b <= 0xF4) {
                pending_ = 3;
                ++longer_;
                if (b == 0xF0)
                    lower_ = 0x90;  // overlong
                if (b == 0xF4)
                    upper_ = 0x8F;  // above U+10FFFF
            } else {
                valid_ = false;
            }
        } else {
            const unsigned char b = *p++;
            if (b < lower_ || b > upper_) {
                valid_ = false;
                break;
            }
            lower_ = 0x80;
            upper_ = 0xBF;
            --pending_;
        }
    }
    return valid_;
}

TextEncoding DetectEncoding(QByteArrayView sample, bool wholeFile)
{
    const bool littleEndian = LooksLikeUtf16(sample, false, wholeFile);
    const bool bigEndian = LooksLikeUtf16(sample, true, wholeFile);
    if (littleEndian != bigEndian)
        return littleEndian ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    if (LooksLikeUtf8(sample, wholeFile))
        return TextEncoding::Utf8;
    if (LooksLikeBig5(sample))
        return TextEncoding::Big5;
    return TextEncoding::Gb18030;
}
