#pragma once

#include "core/text/text_decoder.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

// How a file's encoding is found.
enum class EncodingGuess {
    // A book: a byte order mark, else strictly valid UTF-8, else GB18030.
    Book,
    // A file the reader writes itself (book.ini, skins): a byte order mark,
    // else GB18030. Text it wrote may happen to be valid UTF-8 as well
    // ("小说" is D0 A1 CB B5), so UTF-8 is never guessed for it.
    Settings,
};

// Reads a text file line by line, block by block. A line ends at CR, at
// CR LF or at a lone LF; the terminator is not part of the line, and a last
// line without terminator is read like any other.
class TextFileReader {
public:
    bool Open(const QString& path, EncodingGuess guess = EncodingGuess::Book);
    // The next line; the view stays valid until the next call. False at the
    // end of the file or after a read error (see HasError).
    bool ReadLine(QStringView& line);
    bool HasError() const { return error_; }
    TextEncoding Encoding() const { return encoding_; }

    static constexpr qsizetype kBlockSize = 1 << 20;

private:
    bool Fill();
    bool DetectEncoding(EncodingGuess guess);

    QFile file_;
    TextEncoding encoding_ = TextEncoding::Gb18030;
    std::optional<TextDecoder> decoder_;
    QByteArray block_;
    QString text_;           // decoded, not yet returned as lines
    qsizetype pos_ = 0;      // start of the next line in text_
    qsizetype scanned_ = 0;  // text_ before this index holds no terminator after pos_
    bool endOfFile_ = false;
    bool skipLineFeed_ = false;  // the last line ended at a CR at the end of a block
    bool error_ = false;
};

// Reads a whole (small) text file as lines; nullopt when it cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path, EncodingGuess guess = EncodingGuess::Book);
