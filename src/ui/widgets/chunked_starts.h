#pragma once

#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

// A growing list of ascending 32-bit offsets kept in chunks of fixed size.
// A vector of a chapter's hundreds of millions of line starts would copy
// itself whole as it doubles, keeping the window waiting for a tenth of a
// second and holding the old and the new copy at once; here growing only
// ever adds a chunk.
class ChunkedStarts {
public:
    qsizetype size() const { return size_; }
    bool empty() const { return size_ == 0; }

    quint32 operator[](qsizetype i) const { return chunks_[Chunk(i)][Slot(i)]; }

    void push_back(quint32 value)
    {
        if (Chunk(size_) == chunks_.size())
            chunks_.push_back(std::make_unique_for_overwrite<quint32[]>(kChunkLength));
        chunks_[Chunk(size_)][Slot(size_)] = value;
        ++size_;
    }

    // Keeps the first `count` values and the room they need.
    void truncate(qsizetype count)
    {
        size_ = std::min(size_, count);
        chunks_.resize(static_cast<size_t>((size_ + kChunkLength - 1) / kChunkLength));
    }

    // The index of the first value greater than `value` (size() if none),
    // as std::upper_bound: the values must be ascending.
    qsizetype UpperBound(quint32 value) const
    {
        // The first chunk whose first value is greater, then within the one before.
        const qsizetype chunks = static_cast<qsizetype>(chunks_.size());
        qsizetype low = 0;
        qsizetype high = chunks;
        while (low < high) {
            const qsizetype middle = (low + high) / 2;
            if (chunks_[static_cast<size_t>(middle)][0] <= value)
                low = middle + 1;
            else
                high = middle;
        }
        if (low == 0)
            return 0;
        const qsizetype chunk = low - 1;
        const quint32* begin = chunks_[static_cast<size_t>(chunk)].get();
        const qsizetype length = std::min(kChunkLength, size_ - chunk * kChunkLength);
        return chunk * kChunkLength + (std::upper_bound(begin, begin + length, value) - begin);
    }

private:
    static constexpr int kShift = 12;  // 16 KiB a chunk: from the heap, not a mapping of its own
    static constexpr qsizetype kChunkLength = qsizetype(1) << kShift;

    static size_t Chunk(qsizetype i) { return static_cast<size_t>(i >> kShift); }
    static size_t Slot(qsizetype i) { return static_cast<size_t>(i & (kChunkLength - 1)); }

    std::vector<std::unique_ptr<quint32[]>> chunks_;
    qsizetype size_ = 0;
};
