#include "core/text/line_reader.h"

bool TextFileReader::Open(const QString& path, EncodingGuess guess)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = true;
        return false;
    }
    block_.resize(kBlockSize);
    if (!DetectEncoding(guess)) {
        error_ = true;
        return false;
    }
    decoder_.emplace(encoding_);
    return true;
}

// A byte order mark decides; otherwise strictly valid UTF-8 is UTF-8 and
// anything else GBK. A GBK book fails the UTF-8 test within its first
// Chinese characters, so only UTF-8 books are read twice.
bool TextFileReader::DetectEncoding(EncodingGuess guess)
{
    const qint64 headSize = file_.peek(block_.data(), 4);
    if (headSize < 0)
        return false;
    const QByteArrayView head(block_.constData(), headSize);
    if (EncodingFromByteOrderMark(head, encoding_))
        return file_.seek(ByteOrderMarkLength(head, encoding_));
    if (guess == EncodingGuess::Settings) {
        encoding_ = TextEncoding::Gb18030;
        return true;
    }

    Utf8Validator validator;
    bool valid = true;
    while (valid) {
        const qint64 got = file_.read(block_.data(), block_.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
        valid = validator.Feed(QByteArrayView(block_.constData(), got));
    }
    encoding_ = valid && validator.Finish() ? TextEncoding::Utf8 : TextEncoding::Gb18030;
    return file_.seek(0);
}

bool TextFileReader::Fill()
{
    if (pos_ > 0) {
        text_.remove(0, pos_);
        scanned_ -= pos_;
        pos_ = 0;
    }
    const qint64 got = file_.read(block_.data(), block_.size());
    if (got < 0) {
        error_ = true;
        endOfFile_ = true;
        return false;
    }
    if (got == 0) {
        decoder_->Finish(text_);
        endOfFile_ = true;
        file_.close();
        return true;
    }
    decoder_->Decode(QByteArrayView(block_.constData(), got), text_);
    return true;
}

bool TextFileReader::ReadLine(QStringView& line)
{
    if (error_ || !decoder_)
        return false;
    for (;;) {
        if (skipLineFeed_ && pos_ < text_.size()) {
            if (text_.at(pos_) == u'\n')
                ++pos_;
            skipLineFeed_ = false;
            scanned_ = std::max(scanned_, pos_);
        }
        const char16_t* data = reinterpret_cast<const char16_t*>(text_.constData());
        const qsizetype size = text_.size();
        qsizetype i = std::max(scanned_, pos_);
        while (i < size && data[i] != u'\r' && data[i] != u'\n')
            ++i;
        if (i < size) {
            line = QStringView(data + pos_, i - pos_);
            if (data[i] == u'\r') {
                if (i + 1 < size) {
                    pos_ = data[i + 1] == u'\n' ? i + 2 : i + 1;
                } else {
                    pos_ = i + 1;
                    skipLineFeed_ = true;  // a LF may open the next block
                }
            } else {
                pos_ = i + 1;
            }
            scanned_ = pos_;
            return true;
        }
        scanned_ = size;
        if (endOfFile_) {
            if (pos_ >= size)
                return false;
            line = QStringView(data + pos_, size - pos_);
            pos_ = size;
            scanned_ = size;
            return true;
        }
        if (!Fill())
            return false;
    }
}

std::optional<QStringList> ReadTextLines(const QString& path, EncodingGuess guess)
{
    TextFileReader reader;
    if (!reader.Open(path, guess))
        return std::nullopt;
    QStringList lines;
    QStringView line;
    while (reader.ReadLine(line))
        lines.append(line.toString());
    if (reader.HasError())
        return std::nullopt;
    return lines;
}
