#include "core/text/line_reader.h"

#include "core/text/encoding_detector.h"
#include "core/text/file_names.h"

#include <fcntl.h>
#include <unistd.h>

TextFileReader::TextFileReader(qsizetype blockSize) : blockSize_(std::max<qsizetype>(1, blockSize))
{}

bool TextFileReader::Open(const QString& path, EncodingGuess guess)
{
    return Start(path, std::nullopt, guess);
}

bool TextFileReader::Open(const QString& path, EncodingChoice choice)
{
    return Start(path, ForcedEncoding(choice), EncodingGuess::Book);
}

TextEncoding BookEncoding(QByteArrayView head, bool wholeFile, std::optional<TextEncoding> chosen)
{
    if (chosen)
        return *chosen;
    if (const std::optional<TextEncoding> marked = EncodingFromByteOrderMark(head))
        return *marked;
    return DetectEncoding(head, wholeFile);
}

// The encoding is decided on the first block alone, so decoding starts at
// once: a byte order mark, a chosen encoding, or what the block looks like.
// A file taken for UTF-8 that later proves not to be is reported by
// ReadPiece (WrongGuess), which is rare and costs a second reading only then.
bool TextFileReader::Start(const QString& path, std::optional<TextEncoding> chosen, EncodingGuess guess)
{
    // Opened by the bytes of its name, which QFile would not keep when
    // they are not UTF-8.
    const QByteArray native = NativePath(path);
    const int descriptor = native.isEmpty() ? -1 : ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0 || !file_.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (descriptor >= 0)
            ::close(descriptor);
        error_ = true;
        return false;
    }
    head_.resize(kDetectionSampleSize);
    const qint64 got = file_.read(head_.data(), head_.size());
    if (got < 0) {
        error_ = true;
        return false;
    }
    head_.truncate(got);
    byteLimit_ = file_.size() + kGrowthAllowance;
    bytesRead_ = got;
    const bool wholeFile = got < kDetectionSampleSize || file_.atEnd();

    const std::optional<TextEncoding> marked = EncodingFromByteOrderMark(head_);
    if (!chosen && !marked && guess == EncodingGuess::Settings)
        encoding_ = TextEncoding::Gb18030;
    else
        encoding_ = BookEncoding(head_, wholeFile, chosen);
    tentative_ = !chosen && !marked && encoding_ == TextEncoding::Utf8;
    headPos_ = ByteOrderMarkLength(head_, encoding_);
    decoder_.emplace(encoding_);
    return true;
}

bool TextFileReader::Fill()
{
    if (pos_ > 0) {
        text_.remove(0, pos_);
        pos_ = 0;
    }
    if (headPos_ < head_.size()) {
        const qsizetype size = std::min(blockSize_, head_.size() - headPos_);
        decoder_->Decode(QByteArrayView(head_).sliced(headPos_, size), text_);
        headPos_ += size;
        if (headPos_ == head_.size())
            head_ = QByteArray();
    } else {
        block_.resize(blockSize_);
        const qint64 got = file_.read(block_.data(), blockSize_);
        if (got < 0) {
            error_ = true;
            return false;
        }
        bytesRead_ += got;
        if (bytesRead_ > byteLimit_) {
            error_ = outgrew_ = true;
            return false;
        }
        if (got == 0) {
            decoder_->Finish(text_);
            endOfFile_ = true;
            file_.close();
        } else {
            decoder_->Decode(QByteArrayView(block_.constData(), got), text_);
        }
    }
    if (tentative_ && decoder_->InvalidSequences() > 0) {
        guessedWrong_ = true;
        file_.close();
        return false;
    }
    return true;
}

ReadStatus TextFileReader::ReadPiece(QStringView& piece, bool& lineEnds)
{
    if (guessedWrong_)
        return ReadStatus::WrongGuess;
    if (error_ || !decoder_)
        return ReadStatus::Failed;
    for (;;) {
        if (skipLineFeed_ && pos_ < text_.size()) {
            if (text_.at(pos_) == u'\n')
                ++pos_;
            skipLineFeed_ = false;
        }
        const char16_t* data = reinterpret_cast<const char16_t*>(text_.constData());
        const qsizetype size = text_.size();
        qsizetype i = pos_;
        while (i < size && data[i] != u'\r' && data[i] != u'\n')
            ++i;
        if (i < size) {
            piece = QStringView(data + pos_, i - pos_);
            lineEnds = true;
            inLine_ = false;
            if (data[i] == u'\r' && i + 1 == size)
                skipLineFeed_ = true;  // a LF may open the next block
            pos_ = data[i] == u'\r' && i + 1 < size && data[i + 1] == u'\n' ? i + 2 : i + 1;
            return ReadStatus::Text;
        }
        if (endOfFile_) {
            if (pos_ == size && !inLine_)
                return ReadStatus::End;
            piece = QStringView(data + pos_, size - pos_);
            lineEnds = true;
            inLine_ = false;
            pos_ = size;
            return ReadStatus::Text;
        }
        if (pos_ < size) {
            // The line goes on in the next block: hand out what there is, so
            // a line of any length never has to be held whole here.
            piece = QStringView(data + pos_, size - pos_);
            lineEnds = false;
            inLine_ = true;
            pos_ = size;
            return ReadStatus::Text;
        }
        if (!Fill())
            return guessedWrong_ ? ReadStatus::WrongGuess : ReadStatus::Failed;
    }
}

bool TextFileReader::ReadLine(QStringView& line)
{
    QStringView piece;
    bool ends = false;
    bool split = false;
    for (;;) {
        if (ReadPiece(piece, ends) != ReadStatus::Text)
            return false;
        if (ends && !split) {
            line = piece;
            return true;
        }
        if (!split) {
            lineBuffer_.clear();
            split = true;
        }
        lineBuffer_.append(piece);
        if (ends) {
            line = lineBuffer_;
            return true;
        }
    }
}

namespace {

std::optional<QStringList> ReadAllLines(TextFileReader& reader)
{
    QStringList lines;
    QStringView line;
    while (reader.ReadLine(line))
        lines.append(line.toString());
    if (reader.HasError() || reader.GuessedWrong())
        return std::nullopt;
    return lines;
}

}  // namespace

std::optional<QStringList> ReadTextLines(const QString& path, EncodingGuess guess)
{
    TextFileReader reader;
    if (!reader.Open(path, guess))
        return std::nullopt;
    if (std::optional<QStringList> lines = ReadAllLines(reader); lines || !reader.GuessedWrong())
        return lines;
    TextFileReader again;
    if (!again.Open(path, EncodingChoice::Gb18030))
        return std::nullopt;
    return ReadAllLines(again);
}
