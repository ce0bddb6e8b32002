#include "core/text/text_decoder.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstring>
#include <mutex>

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr int kLeadCount = 0xFE - 0x81 + 1;   // 126 lead bytes
constexpr int kTrailCount = 0xFE - 0x40 + 1;  // trail bytes 0x40..0xFE (0x7F is not one)

// Two-byte GB18030 codes map to one BMP character each. The table is built
// once from ICU's converter, so decoding needs no call per character; a 0
// entry means "not a single character", and that code is handed to ICU.
using TwoByteTable = std::array<char16_t, kLeadCount * kTrailCount>;

UConverter* OpenGb18030()
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("gb18030", &status);
    return U_SUCCESS(status) ? converter : nullptr;
}

// Decodes one complete sequence through ICU; appends what ICU gives.
qsizetype DecodeWithIcu(const unsigned char* bytes, int size, char16_t* out)
{
    static thread_local std::unique_ptr<UConverter, void (*)(UConverter*)> converter(OpenGb18030(), ucnv_close);
    if (!converter) {
        *out = kReplacement;
        return 1;
    }
    UChar buffer[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(converter.get(), buffer, 4, reinterpret_cast<const char*>(bytes), size, &status);
    if (U_FAILURE(status) || length <= 0) {
        *out = kReplacement;
        return 1;
    }
    std::memcpy(out, buffer, sizeof(UChar) * length);
    return length;
}

const TwoByteTable& TwoByteCodes()
{
    static TwoByteTable table;
    static std::once_flag built;
    std::call_once(built, [] {
        table.fill(0);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                const unsigned char bytes[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                char16_t decoded[4];
                if (DecodeWithIcu(bytes, 2, decoded) == 1)
                    table[(lead - 0x81) * kTrailCount + (trail - 0x40)] = decoded[0];
            }
        }
    });
    return table;
}

bool IsTrailByte(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool IsLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}
bool IsFourByteDigit(unsigned char b)
{
    return b >= 0x30 && b <= 0x39;
}

}  // namespace

bool EncodingFromByteOrderMark(QByteArrayView head, TextEncoding& encoding)
{
    if (head.startsWith("\xEF\xBB\xBF")) {
        encoding = TextEncoding::Utf8;
        return true;
    }
    if (head.startsWith("\xFF\xFE")) {
        encoding = TextEncoding::Utf16LE;
        return true;
    }
    if (head.startsWith("\xFE\xFF")) {
        encoding = TextEncoding::Utf16BE;
        return true;
    }
    return false;
}

qsizetype ByteOrderMarkLength(QByteArrayView head, TextEncoding encoding)
{
    TextEncoding marked;
    if (!EncodingFromByteOrderMark(head, marked) || marked != encoding)
        return 0;
    return encoding == TextEncoding::Utf8 ? 3 : 2;
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
            } else if (b >= 0xE0 && b <= 0xEF) {
                pending_ = 2;
                if (b == 0xE0)
                    lower_ = 0xA0;  // overlong
                if (b == 0xED)
                    upper_ = 0x9F;  // surrogates
            } else if (b >= 0xF0 && b <= 0xF4) {
                pending_ = 3;
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

TextDecoder::TextDecoder(TextEncoding encoding) : encoding_(encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: unicode_ = QStringDecoder(QStringDecoder::Utf8); break;
    case TextEncoding::Utf16LE: unicode_ = QStringDecoder(QStringDecoder::Utf16LE); break;
    case TextEncoding::Utf16BE: unicode_ = QStringDecoder(QStringDecoder::Utf16BE); break;
    case TextEncoding::Gb18030: TwoByteCodes(); break;
    }
}

TextDecoder::~TextDecoder() = default;

void TextDecoder::Decode(QByteArrayView bytes, QString& out)
{
    if (encoding_ != TextEncoding::Gb18030) {
        out.append(unicode_.decode(bytes));
        RememberTail(bytes);
        return;
    }
    if (bytes.isEmpty())
        return;
    const qsizetype oldSize = out.size();
    // Every byte gives at most one UTF-16 unit, a four-byte sequence at most two.
    out.resize(oldSize + bytes.size() + carryLength_ + 2);
    char16_t* dest = reinterpret_cast<char16_t*>(out.data()) + oldSize;
    qsizetype written = 0;

    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype size = bytes.size();
    if (carryLength_ > 0) {
        // Finish the sequences that began in the previous block. Four more
        // bytes always complete them, since no sequence is longer than four.
        unsigned char joined[8];
        const int carried = carryLength_;
        std::memcpy(joined, carry_, carried);
        const int take = static_cast<int>(std::min<qsizetype>(4, size));
        std::memcpy(joined + carried, src, take);
        const int joinedLength = carried + take;
        carryLength_ = 0;
        int pos = 0;
        while (pos < carried) {
            qsizetype produced = 0;
            const int consumed = DecodeOne(joined + pos, joinedLength - pos, dest + written, produced);
            if (consumed == 0) {  // still unfinished: this block was tiny
                carryLength_ = joinedLength - pos;
                std::memcpy(carry_, joined + pos, carryLength_);
                out.resize(oldSize + written);
                return;
            }
            written += produced;
            pos += consumed;
        }
        src += pos - carried;
        size -= pos - carried;
    }
    written += DecodeRun(src, size, dest + written);
    out.resize(oldSize + written);
}

void TextDecoder::RememberTail(QByteArrayView bytes)
{
    totalBytes_ += bytes.size();
    for (char b : bytes.last(std::min<qsizetype>(bytes.size(), sizeof tail_))) {
        std::memmove(tail_, tail_ + 1, sizeof tail_ - 1);
        tail_[sizeof tail_ - 1] = static_cast<unsigned char>(b);
    }
}

bool TextDecoder::UnicodeTailIsOpen() const
{
    if (encoding_ == TextEncoding::Utf16LE || encoding_ == TextEncoding::Utf16BE) {
        if (totalBytes_ % 2 != 0)
            return true;
        if (totalBytes_ < 2)
            return false;
        const unsigned char hi = encoding_ == TextEncoding::Utf16LE ? tail_[3] : tail_[2];
        return hi >= 0xD8 && hi <= 0xDB;  // a high surrogate with nothing after it
    }
    // UTF-8: walk back over continuation bytes to the lead byte of the last
    // sequence and see whether all its bytes arrived.
    const int seen = static_cast<int>(std::min<qint64>(totalBytes_, sizeof tail_));
    for (int back = 1; back <= seen; ++back) {
        const unsigned char b = tail_[sizeof tail_ - back];
        if ((b & 0xC0) == 0x80)
            continue;
        const int needed = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return needed > back;
    }
    return false;
}

// Decodes the one sequence at `bytes`: returns the bytes it takes (0 when
// the input ends inside it) and sets `produced` to the units written.
int TextDecoder::DecodeOne(const unsigned char* bytes, qsizetype size, char16_t* out, qsizetype& produced)
{
    const unsigned char b = bytes[0];
    produced = 1;
    if (b < 0x80) {
        *out = b;
        return 1;
    }
    if (!IsLeadByte(b)) {  // 0x80 and 0xFF stand for nothing
        *out = kReplacement;
        return 1;
    }
    if (size < 2)
        return 0;
    const unsigned char second = bytes[1];
    if (IsTrailByte(second)) {
        const char16_t c = TwoByteCodes()[(b - 0x81) * kTrailCount + (second - 0x40)];
        if (c != 0)
            *out = c;
        else
            produced = DecodeWithIcu(bytes, 2, out);
        return 2;
    }
    if (IsFourByteDigit(second)) {
        if (size < 3)
            return 0;
        if (IsLeadByte(bytes[2])) {
            if (size < 4)
                return 0;
            if (IsFourByteDigit(bytes[3])) {
                produced = DecodeWithIcu(bytes, 4, out);
                return 4;
            }
        }
    }
    // A lead byte without a valid continuation: replace the lead byte
    // alone and read what follows afresh, so a CR or LF is never eaten.
    *out = kReplacement;
    return 1;
}

// Decodes as much of `bytes` as forms whole sequences; an unfinished
// sequence at the end is kept in carry_.
qsizetype TextDecoder::DecodeRun(const unsigned char* bytes, qsizetype size, char16_t* out)
{
    const TwoByteTable& table = TwoByteCodes();
    char16_t* const start = out;
    qsizetype i = 0;
    while (i < size) {
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            *out++ = b;
            ++i;
            continue;
        }
        // The common two-byte case inline; everything else one at a time.
        if (i + 1 < size && IsLeadByte(b) && IsTrailByte(bytes[i + 1])) {
            const char16_t c = table[(b - 0x81) * kTrailCount + (bytes[i + 1] - 0x40)];
            if (c != 0) {
                *out++ = c;
                i += 2;
                continue;
            }
        }
        qsizetype produced = 0;
        const int consumed = DecodeOne(bytes + i, size - i, out, produced);
        if (consumed == 0)
            break;  // the sequence goes on in the next block
        out += produced;
        i += consumed;
    }
    carryLength_ = static_cast<int>(size - i);
    std::memcpy(carry_, bytes + i, carryLength_);
    return out - start;
}

void TextDecoder::Finish(QString& out)
{
    if (encoding_ != TextEncoding::Gb18030) {
        // QStringDecoder keeps an unfinished sequence for the next block and
        // has no "end of input" call, so the tail is judged here.
        if (UnicodeTailIsOpen())
            out.append(QChar(kReplacement));
        return;
    }
    // An unfinished sequence at the end of the file: its lead byte is
    // invalid, and the bytes after it are read afresh (they may be ASCII).
    unsigned char rest[8];
    int restLength = carryLength_;
    std::memcpy(rest, carry_, restLength);
    carryLength_ = 0;
    int pos = 0;
    while (pos < restLength) {
        char16_t decoded[4];
        qsizetype produced = 0;
        int consumed = DecodeOne(rest + pos, restLength - pos, decoded, produced);
        if (consumed == 0) {
            decoded[0] = kReplacement;
            produced = 1;
            consumed = 1;
        }
        out.append(QStringView(decoded, produced));
        pos += consumed;
    }
}

QByteArray EncodeGb18030(QStringView text)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> converter(OpenGb18030(), ucnv_close);
    if (!converter)
        return text.toUtf8();
    QByteArray out(text.size() * 4 + 4, Qt::Uninitialized);
    const int32_t length =
        ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()),
                        reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return QByteArray();
    out.truncate(length);
    return out;
}
