// GB18030 and Big5: one- and two-byte codes (and GB18030's four-byte ones).
// The two-byte codes are looked up in a table built once from ICU's
// converter, so decoding needs no call per character; the rare four-byte
// GB18030 codes go to ICU one by one.

#include "core/text/block_decoder.h"
#include "core/text/icu_converter.h"

#include <QtEndian>

#include <array>
#include <cstdint>

namespace {

bool IsLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}
bool IsGb18030Trail(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool IsBig5Trail(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}
bool IsFourByteDigit(unsigned char b)
{
    return b >= 0x30 && b <= 0x39;
}

// The character of every pair of a byte 0x80..0xFF and any byte after it;
// 0 where the pair is no two-byte code or ICU maps it to nothing (or to more
// than one character). Indexed by the pair read as a big-endian word with
// the lead's top bit dropped, so a lookup needs no range check.
class TwoByteTable {
public:
    TwoByteTable(const char* converterName, bool (*isTrail)(unsigned char))
    {
        table_.fill(0);
        const IcuConverter converter = OpenStrictConverter(converterName);
        if (!converter)
            return;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (!isTrail(static_cast<unsigned char>(trail)))
                    continue;
                const unsigned char bytes[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                char16_t decoded[2];
                if (DecodeSequenceWithIcu(converter.get(), bytes, 2, decoded) == 1)
                    table_[Index(lead << 8 | trail)] = decoded[0];
            }
        }
    }

    char16_t At(unsigned char lead, unsigned char trail) const { return table_[Index(lead << 8 | trail)]; }
    // The pair at `bytes`, whose first byte is 0x80 or above.
    char16_t AtPair(const unsigned char* bytes) const { return table_[Index(qFromBigEndian<quint16>(bytes))]; }

private:
    static unsigned Index(unsigned pair) { return pair & 0x7FFF; }

    std::array<char16_t, 0x8000> table_;
};

const TwoByteTable& Gb18030Table()
{
    static const TwoByteTable table("gb18030", IsGb18030Trail);
    return table;
}

const TwoByteTable& Big5Table()
{
    static const TwoByteTable table("Big5", IsBig5Trail);  // ICU's Big5 is code page 950
    return table;
}

// A lead byte whose trail maps to nothing: the pair is one invalid sequence
// unless the trail is ASCII, which is then read afresh.
int UnmappedPair(const unsigned char* bytes, char16_t* out, int& produced, qint64& invalid)
{
    *out = kReplacementCharacter;
    produced = 1;
    ++invalid;
    return bytes[1] < 0x80 ? 1 : 2;
}

int InvalidByte(char16_t* out, int& produced, qint64& invalid)
{
    *out = kReplacementCharacter;
    produced = 1;
    ++invalid;
    return 1;
}

// Bit k set when bytes[k] is 0x80 or above, for 64 bytes.
std::uint64_t HighBits(const unsigned char* bytes)
{
    std::uint64_t bits = 0;
    for (int k = 0; k < 64; k += 8) {
        // The top bit of each byte, gathered into the top byte of the product.
        const std::uint64_t tops = (qFromLittleEndian<quint64>(bytes + k) & 0x8080808080808080ULL) >> 7;
        bits |= (tops * 0x0102040810204080ULL) >> 56 << k;
    }
    return bits;
}

// `ifOne` when `bit` is 1, else `ifZero`, by masks: the compiler would
// turn a conditional into the very branch the caller avoids.
char16_t Choose(unsigned bit, char16_t ifOne, char16_t ifZero)
{
    const unsigned mask = 0u - bit;
    return static_cast<char16_t>((ifOne & mask) | (ifZero & ~mask));
}

// The ASCII and mapped two-byte codes from the start of the 64 bytes at
// `window` (and the trail byte after them), advancing `out`. Returns the
// bytes taken: 64 or 65, or fewer when the next code is not in the table.
//
// Text that mixes ASCII and two-byte codes (a Big5 copy of simplified text
// is one "?" in five) would mispredict a branch on the kind of each
// character. Here the kind comes from a bit mask, the next position depends
// on that bit alone, and the character is chosen without a branch.
int DecodeWindow(const TwoByteTable& table, const unsigned char* window, char16_t*& out)
{
    const std::uint64_t high = HighBits(window);
    int k = 0;
    while (k < 64) {
        const unsigned isHigh = (high >> k) & 1;
        const char16_t c = Choose(isHigh, table.AtPair(window + k), window[k]);
        if (c == 0)  // unmapped, invalid or NUL
            break;
        *out++ = c;
        k += 1 + isHigh;
    }
    return k;
}

// Whole sequences of `bytes`, as a codec's DecodeRun: ASCII and mapped
// two-byte codes inline, everything else through the codec's DecodeOne.
// Stops before a sequence that goes on in the next block.
template <typename Codec>
qsizetype DecodeTwoByteRun(Codec& codec, const TwoByteTable& table, const unsigned char* bytes, qsizetype size,
                           char16_t*& out, qint64& invalid)
{
    qsizetype i = 0;
    while (i < size) {
        if (size - i > 64) {
            const int taken = DecodeWindow(table, bytes + i, out);
            i += taken;
            if (taken >= 64)
                continue;
        } else {
            const unsigned isHigh = bytes[i] >= 0x80;
            const char16_t c = !isHigh ? bytes[i] : i + 1 < size ? table.AtPair(bytes + i) : 0;
            if (c != 0) {
                *out++ = c;
                i += 1 + isHigh;
                continue;
            }
        }
        int produced = 0;
        const int consumed = codec.DecodeOne(bytes + i, size - i, out, produced, invalid);
        if (consumed == 0)
            break;
        out += produced;
        i += consumed;
    }
    return i;
}

class Gb18030Codec {
public:
    static constexpr int kLongest = 4;

    int DecodeOne(const unsigned char* bytes, qsizetype size, char16_t* out, int& produced, qint64& invalid)
    {
        const unsigned char b = bytes[0];
        produced = 1;
        if (b < 0x80) {
            *out = b;
            return 1;
        }
        if (!IsLeadByte(b))  // 0x80 and 0xFF stand for nothing
            return InvalidByte(out, produced, invalid);
        if (size < 2)
            return 0;
        const unsigned char second = bytes[1];
        if (IsGb18030Trail(second)) {
            if (const char16_t c = table_.At(b, second)) {
                *out = c;
                return 2;
            }
            produced = DecodeSequenceWithIcu(Icu(), bytes, 2, out);
            return produced > 0 ? 2 : UnmappedPair(bytes, out, produced, invalid);
        }
        if (IsFourByteDigit(second)) {
            if (size < 3)
                return 0;
            if (IsLeadByte(bytes[2])) {
                if (size < 4)
                    return 0;
                if (IsFourByteDigit(bytes[3])) {
                    produced = DecodeSequenceWithIcu(Icu(), bytes, 4, out);
                    if (produced > 0)
                        return 4;
                    // A four-byte code outside the ranges GB18030 assigns.
                    *out = kReplacementCharacter;
                    produced = 1;
                    ++invalid;
                    return 4;
                }
            }
        }
        // A lead byte without a valid continuation: replace the lead byte
        // alone and read what follows afresh, so a CR or LF is never eaten.
        return InvalidByte(out, produced, invalid);
    }

    qsizetype DecodeRun(const unsigned char* bytes, qsizetype size, char16_t*& out, qint64& invalid)
    {
        return DecodeTwoByteRun(*this, table_, bytes, size, out, invalid);
    }

    // An unfinished sequence: its lead byte is invalid, and the bytes after
    // it are read afresh (they may be ASCII digits).
    void FinishTail(const unsigned char* bytes, int size, QString& out, qint64& invalid)
    {
        int pos = 0;
        while (pos < size) {
            char16_t decoded[2];
            int produced = 0;
            int consumed = DecodeOne(bytes + pos, size - pos, decoded, produced, invalid);
            if (consumed == 0)
                consumed = InvalidByte(decoded, produced, invalid);
            out.append(QStringView(decoded, produced));
            pos += consumed;
        }
    }

private:
    UConverter* Icu()
    {
        if (!icu_)
            icu_ = OpenStrictConverter("gb18030");
        return icu_.get();
    }

    const TwoByteTable& table_ = Gb18030Table();
    IcuConverter icu_;
};

class Big5Codec {
public:
    static constexpr int kLongest = 2;

    int DecodeOne(const unsigned char* bytes, qsizetype size, char16_t* out, int& produced, qint64& invalid)
    {
        const unsigned char b = bytes[0];
        produced = 1;
        if (b < 0x80) {
            *out = b;
            return 1;
        }
        if (!IsLeadByte(b))
            return InvalidByte(out, produced, invalid);
        if (size < 2)
            return 0;
        if (!IsBig5Trail(bytes[1]))
            return InvalidByte(out, produced, invalid);
        if (const char16_t c = table_.At(b, bytes[1])) {
            *out = c;
            return 2;
        }
        return UnmappedPair(bytes, out, produced, invalid);
    }

    qsizetype DecodeRun(const unsigned char* bytes, qsizetype size, char16_t*& out, qint64& invalid)
    {
        return DecodeTwoByteRun(*this, table_, bytes, size, out, invalid);
    }

    // Only a lone lead byte can be left over.
    void FinishTail(const unsigned char* /*bytes*/, int /*size*/, QString& out, qint64& invalid)
    {
        out.append(QChar(kReplacementCharacter));
        ++invalid;
    }

private:
    const TwoByteTable& table_ = Big5Table();
};

}  // namespace

std::unique_ptr<BlockDecoder> MakeGb18030Decoder()
{
    return std::make_unique<SequenceDecoder<Gb18030Codec>>();
}

std::unique_ptr<BlockDecoder> MakeBig5Decoder()
{
    return std::make_unique<SequenceDecoder<Big5Codec>>();
}
