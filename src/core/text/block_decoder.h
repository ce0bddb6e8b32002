#pragma once

// The decoders behind TextDecoder, one per encoding. Each turns a stream of
// blocks into UTF-16 exactly as it would turn the whole stream at once: a
// sequence cut by a block end is carried into the next block, and an invalid
// sequence becomes one U+FFFD in both cases.

#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

class BlockDecoder {
public:
    virtual ~BlockDecoder() = default;
    // Decodes `bytes` and appends the characters to `out`.
    virtual void Decode(QByteArrayView bytes, QString& out) = 0;
    // Ends the input: an unfinished sequence becomes U+FFFD.
    virtual void Finish(QString& out) = 0;
    // Invalid sequences met so far (each became one U+FFFD).
    qint64 InvalidSequences() const { return invalid_; }

protected:
    qint64 invalid_ = 0;
};

std::unique_ptr<BlockDecoder> MakeGb18030Decoder();
std::unique_ptr<BlockDecoder> MakeBig5Decoder();
std::unique_ptr<BlockDecoder> MakeUtf8Decoder();
std::unique_ptr<BlockDecoder> MakeUtf16Decoder(bool bigEndian);

// The block logic every encoding shares. A Codec provides:
//
//   static constexpr int kLongest;  the longest sequence, in bytes
//   // The sequence at `bytes`: returns the bytes it takes, or 0 when the
//   // input ends inside it. An invalid sequence writes one U+FFFD, counts
//   // in `invalid` and takes at least one byte, never a CR or LF after it.
//   int DecodeOne(const unsigned char* bytes, qsizetype size, char16_t* out, int& produced, qint64& invalid);
//   // Decodes whole sequences, advancing `out`; returns the bytes taken,
//   // which stop only before an unfinished sequence at the very end.
//   qsizetype DecodeRun(const unsigned char* bytes, qsizetype size, char16_t*& out, qint64& invalid);
//   // An unfinished sequence at the end of the input.
//   void FinishTail(const unsigned char* bytes, int size, QString& out, qint64& invalid);
//
// Every byte gives at most one UTF-16 unit, which bounds the output.
template <typename Codec>
class SequenceDecoder final : public BlockDecoder {
public:
    template <typename... Args>
    explicit SequenceDecoder(Args&&... args) : codec_(std::forward<Args>(args)...)
    {}

    void Decode(QByteArrayView bytes, QString& out) override
    {
        if (bytes.isEmpty())
            return;
        const qsizetype oldSize = out.size();
        out.resize(oldSize + bytes.size() + carryLength_);
        char16_t* const begin = reinterpret_cast<char16_t*>(out.data()) + oldSize;
        char16_t* dest = begin;
        const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
        qsizetype size = bytes.size();
        if (carryLength_ > 0) {
            // Finish the sequence begun in the previous block. kLongest more
            // bytes always complete it, unless this block is shorter still.
            unsigned char joined[2 * Codec::kLongest];
            const int carried = carryLength_;
            std::memcpy(joined, carry_, carried);
            const int take = static_cast<int>(std::min<qsizetype>(Codec::kLongest, size));
            std::memcpy(joined + carried, src, take);
            const int joinedLength = carried + take;
            carryLength_ = 0;
            int pos = 0;
            while (pos < carried) {
                int produced = 0;
                const int consumed = codec_.DecodeOne(joined + pos, joinedLength - pos, dest, produced, invalid_);
                if (consumed == 0) {  // still unfinished: the whole block is carried
                    carryLength_ = joinedLength - pos;
                    std::memcpy(carry_, joined + pos, carryLength_);
                    out.resize(oldSize + (dest - begin));
                    return;
                }
                dest += produced;
                pos += consumed;
            }
            src += pos - carried;
            size -= pos - carried;
        }
        const qsizetype used = codec_.DecodeRun(src, size, dest, invalid_);
        carryLength_ = static_cast<int>(size - used);
        std::memcpy(carry_, src + used, carryLength_);
        out.resize(oldSize + (dest - begin));
    }

    void Finish(QString& out) override
    {
        const int length = carryLength_;
        carryLength_ = 0;
        if (length > 0)
            codec_.FinishTail(carry_, length, out, invalid_);
    }

private:
    Codec codec_;
    unsigned char carry_[Codec::kLongest] = {};
    int carryLength_ = 0;
};
