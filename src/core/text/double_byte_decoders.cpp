// GB18030 and Big5: one- and two-byte codes (and GB18030's four-byte ones).
// The two-byte codes are looked up in a table built once from ICU's
// converter, so decoding needs no call per character; the rare four-byte
// GB18030 codes go to ICU one by one.

#include "core/text/block_decoder.h"
#include "core/text/icu_converter.h"

#include <array>

namespace {

constexpr int kLeadCount = 0xFE - 0x81 + 1;  // lead bytes 0x81..0xFE
constexpr int kTrailSpan = 0xFE - 0x40 + 1;  // trail bytes 0x40..0xFE, gaps included

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

// The character of every two-byte code; 0 where ICU maps the code to
// nothing (or to more than one character).
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
                    table_[(lead - 0x81) * kTrailSpan + (trail - 0x40)] = decoded[0];
            }
        }
    }

    char16_t At(unsigned char lead, unsigned char trail) const
    {
        return table_[(lead - 0x81) * kTrailSpan + (trail - 0x40)];
    }

private:
    std::array<char16_t, kLeadCount * kTrailSpan> table_;
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

// Whole sequences of `bytes`, as a codec's DecodeRun: ASCII and mapped
// two-byte codes inline, everything else through the codec's DecodeOne.
// Stops before a sequence that goes on in the next block.
template <bool (*IsTrail)(unsigned char), typename Codec>
qsizetype DecodeTwoByteRun(Codec& codec, const TwoByteTable& table, const unsigned char* bytes, qsizetype size,
                           char16_t*& out, qint64& invalid)
{
    qsizetype i = 0;
    while (i < size) {
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            *out++ = b;
            ++i;
            continue;
        }
        if (i + 1 < size && IsLeadByte(b) && IsTrail(bytes[i + 1])) {
            if (const char16_t c = table.At(b, bytes[i + 1])) {
                *out++ = c;
                i += 2;
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
        return DecodeTwoByteRun<IsGb18030Trail>(*this, table_, bytes, size, out, invalid);
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
        return DecodeTwoByteRun<IsBig5Trail>(*this, table_, bytes, size, out, invalid);
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
