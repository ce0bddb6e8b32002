#pragma once

// Helpers the fuzz targets share: turning bytes into text and a scratch
// folder for the files a parser must read from disk.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Reads the fuzzer's bytes one at a time; past the end it gives zeros.
class FuzzBytes {
public:
    FuzzBytes(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    uint8_t Next() { return pos_ < size_ ? bytes_[pos_++] : 0; }
    int32_t NextInt32()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Next();
        return static_cast<int32_t>(value);
    }
    // A short text made of `tokens`, one byte a token, up to `maxTokens`.
    template <size_t N>
    QString Text(const char16_t* const (&tokens)[N], int maxTokens)
    {
        QString text;
        const int count = Next() % (maxTokens + 1);
        for (int i = 0; i < count && !Empty(); ++i)
            text += QStringView(tokens[Next() % N]);
        return text;
    }
    const uint8_t* Rest() const { return bytes_ + pos_; }
    size_t RestSize() const { return pos_ < size_ ? size_ - pos_ : 0; }

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t pos_ = 0;
};

// One scratch folder for the whole run, removed at exit.
inline const QTemporaryDir& ScratchFolder()
{
    static const QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    return folder;
}

inline QString WriteScratchFile(const QString& name, const char* bytes, qsizetype size)
{
    const QString path = QDir(ScratchFolder().path()).filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes, size) != size)
        std::abort();
    return path;
}

// Aborts with a message, so the difference is plain in the fuzzer's log.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
