// UTF-8 and UTF-16, decoded by hand rather than through QStringDecoder, whose
// replacement of an invalid byte at a block end can swallow the line feed
// after it. Here an invalid sequence is the longest start of a valid one
// (at least one byte), it becomes one U+FFFD, and the byte that broke it is
// read afresh: a CR or LF is never eaten.

#include "core/text/block_decoder.h"

#include <QChar>
#include <QtEndian>

#include <cstdint>
#include <cstring>

namespace {

// Units copied and checked for surrogates at a time.
constexpr int kUtf16Chunk = 256;

// Copies kUtf16Chunk units to `out` in the machine's order, `kWidth` bytes
// at a time in the compiler's vector types; returns whether one of them is
// a surrogate. One pass: Qt's own conversion is a plain copy (or byte swap)
// of the same width, and a copy followed by separate passes over the
// output was half as fast again.
template <int kWidth, bool kSwap>
[[gnu::always_inline]] inline bool CopyChunkBy(const unsigned char* bytes, char16_t* out)
{
    typedef std::uint16_t Units __attribute__((
        vector_size(kWidth)));  // NOLINT(modernize-use-using): GCC drops the attribute of a dependent alias
    typedef std::int16_t Mask __attribute__((vector_size(kWidth)));  // NOLINT(modernize-use-using): as Units
    Mask found{};
    for (int k = 0; k < kUtf16Chunk; k += kWidth / 2) {
        Units units;
        std::memcpy(&units, bytes + 2 * k, kWidth);
        if constexpr (kSwap)
            units = units << 8 | units >> 8;
        std::memcpy(out + k, &units, kWidth);
        found |= (units & 0xF800) == 0xD800;
    }
    std::uint64_t words[kWidth / 8];
    std::memcpy(words, &found, kWidth);
    std::uint64_t any = 0;
    for (const std::uint64_t word : words)
        any |= word;
    return any != 0;
}

#if defined(__x86_64__)
// Twice as wide, for the processors that have AVX2 (most since 2013): Qt's
// conversion is a memcpy, which glibc runs at the widest width there is.
template <bool kSwap>
__attribute__((target("avx2"))) bool CopyChunkAvx2(const unsigned char* bytes, char16_t* out)
{
    return CopyChunkBy<32, kSwap>(bytes, out);
}

bool HasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
#endif

int Invalid(char16_t* out, int& produced, qint64& invalid, int length)
{
    *out = kReplacementCharacter;
    produced = 1;
    ++invalid;
    return length;
}

class Utf8Codec {
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
        int length = 0;
        char32_t code = 0;
        unsigned char lower = 0x80, upper = 0xBF;  // range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            code = b & 0x0F;
            if (b == 0xE0)
                lower = 0xA0;  // overlong
            if (b == 0xED)
                upper = 0x9F;  // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            code = b & 0x07;
            if (b == 0xF0)
                lower = 0x90;  // overlong
            if (b == 0xF4)
                upper = 0x8F;  // above U+10FFFF
        } else {
            return Invalid(out, produced, invalid, 1);
        }
        for (int k = 1; k < length; ++k) {
            if (k >= size)
                return 0;
            const unsigned char next = bytes[k];
            if (next < lower || next > upper)
                return Invalid(out, produced, invalid, k);
            lower = 0x80;
            upper = 0xBF;
            code = (code << 6) | (next & 0x3F);
        }
        if (code >= 0x10000) {
            out[0] = QChar::highSurrogate(code);
            out[1] = QChar::lowSurrogate(code);
            produced = 2;
        } else {
            *out = static_cast<char16_t>(code);
        }
        return length;
    }

    qsizetype DecodeRun(const unsigned char* bytes, qsizetype size, char16_t*& out, qint64& invalid)
    {
        qsizetype i = 0;
        while (i < size) {
            const unsigned char b = bytes[i];
            if (b < 0x80) {
                *out++ = b;
                ++i;
                // ASCII runs eight bytes at a time.
                while (size - i >= 8) {
                    std::uint64_t word;
                    std::memcpy(&word, bytes + i, 8);
                    if (word & 0x8080808080808080ULL)
                        break;
                    for (int k = 0; k < 8; ++k)
                        out[k] = bytes[i + k];
                    out += 8;
                    i += 8;
                }
                continue;
            }
            // Three-byte forms, which every Chinese character takes, inline.
            if ((b & 0xF0) == 0xE0 && size - i >= 3) {
                const unsigned char second = bytes[i + 1], third = bytes[i + 2];
                if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80) {
                    const char16_t code =
                        static_cast<char16_t>(((b & 0x0F) << 12) | ((second & 0x3F) << 6) | (third & 0x3F));
                    if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) {
                        *out++ = code;
                        i += 3;
                        continue;
                    }
                }
            }
            int produced = 0;
            const int consumed = DecodeOne(bytes + i, size - i, out, produced, invalid);
            if (consumed == 0)
                break;  // the sequence goes on in the next block
            out += produced;
            i += consumed;
        }
        return i;
    }

    // What is left is the valid start of one sequence: one U+FFFD.
    void FinishTail(const unsigned char* /*bytes*/, int /*size*/, QString& out, qint64& invalid)
    {
        out.append(QChar(kReplacementCharacter));
        ++invalid;
    }
};

template <bool kBigEndian>
class Utf16Codec {
public:
    static constexpr int kLongest = 4;

    int DecodeOne(const unsigned char* bytes, qsizetype size, char16_t* out, int& produced, qint64& invalid)
    {
        produced = 1;
        if (size < 2)
            return 0;
        const char16_t unit = Unit(bytes);
        if (!QChar::isSurrogate(unit)) {
            *out = unit;
            return 2;
        }
        if (QChar::isHighSurrogate(unit)) {
            if (size < 4)
                return 0;
            const char16_t low = Unit(bytes + 2);
            if (QChar::isLowSurrogate(low)) {
                out[0] = unit;
                out[1] = low;
                produced = 2;
                return 4;
            }
        }
        return Invalid(out, produced, invalid, 2);  // a surrogate without its partner
    }

    qsizetype DecodeRun(const unsigned char* bytes, qsizetype size, char16_t*& out, qint64& invalid)
    {
        bool (*copyChunk)(const unsigned char*, char16_t*) = &CopyChunk;
#if defined(__x86_64__)
        if (HasAvx2())
            copyChunk = &CopyChunkAvx2<kSwap>;
#endif
        qsizetype i = 0;
        while (size - i >= 2) {
            // Chunks without a surrogate, the usual case, are copied whole.
            if (size - i >= 2 * kChunk && !copyChunk(bytes + i, out)) {
                out += kChunk;
                i += 2 * kChunk;
                continue;
            }
            // A chunk with a surrogate, which CopyChunk's output is written
            // over, or the last units: one at a time to the chunk's end.
            const qsizetype end = std::min(size, i + 2 * kChunk);
            while (i < end && size - i >= 2) {
                int produced = 0;
                const int consumed = DecodeOne(bytes + i, size - i, out, produced, invalid);
                if (consumed == 0)
                    return i;  // the pair goes on in the next block
                out += produced;
                i += consumed;
            }
        }
        return i;
    }

    // A high surrogate without its partner, and an odd byte at the end.
    void FinishTail(const unsigned char* /*bytes*/, int size, QString& out, qint64& invalid)
    {
        for (int pos = 0; pos < size; pos += 2) {
            out.append(QChar(kReplacementCharacter));
            ++invalid;
        }
    }

private:
    static constexpr int kChunk = kUtf16Chunk;
    // Whether the file's byte order is not the machine's.
    static constexpr bool kSwap = kBigEndian != (Q_BYTE_ORDER == Q_BIG_ENDIAN);

    // 16 bytes a time: SSE2, which every x86-64 has, or the like elsewhere.
    static bool CopyChunk(const unsigned char* bytes, char16_t* out)
    {
        return CopyChunkBy<16, kSwap>(bytes, out);
    }

    static char16_t Unit(const unsigned char* bytes)
    {
        return kBigEndian ? static_cast<char16_t>(bytes[0] << 8 | bytes[1])
                          : static_cast<char16_t>(bytes[1] << 8 | bytes[0]);
    }
};

}  // namespace

std::unique_ptr<BlockDecoder> MakeUtf8Decoder()
{
    return std::make_unique<SequenceDecoder<Utf8Codec>>();
}

std::unique_ptr<BlockDecoder> MakeUtf16Decoder(bool bigEndian)
{
    if (bigEndian)
        return std::make_unique<SequenceDecoder<Utf16Codec<true>>>();
    return std::make_unique<SequenceDecoder<Utf16Codec<false>>>();
}
