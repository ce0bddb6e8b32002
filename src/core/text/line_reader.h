#pragma once

#include "core/text/text_decoder.h"
#include "core/text/text_encoding.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

// How a file's encoding is found when nobody chose one.
enum class EncodingGuess {
    // A book: a byte order mark, else what the first block says (UTF-16,
    // UTF-8 or Big5 on strong evidence), else GB18030.
    Book,
    // A file the reader writes itself (book.ini, skins): a byte order mark,
    // else GB18030. Text it wrote may happen to be valid UTF-8 as well
    // ("小说" is D0 A1 CB B5), so UTF-8 is never guessed for it.
    Settings,
};

// The encoding a book is read in: `chosen`, else the one a byte order mark
// at the start of `head` announces, else what `head` looks like (the
// file's first kDetectionSampleSize bytes, `wholeFile` when that is all of
// it). A book read as UTF-8 on a guess that proves not to be is read again
// as GB18030 (WrongGuess).
TextEncoding BookEncoding(QByteArrayView head, bool wholeFile, std::optional<TextEncoding> chosen);

enum class ReadStatus {
    Text,    // a piece of text
    End,     // the end of the file
    Failed,  // the file could not be read
    // The file was taken for UTF-8 from its first block, and a later byte
    // proves it is not: what was read is void; read it again as GB18030.
    WrongGuess,
};

// Reads a text file line by line, block by block. A line ends at CR, at
// CR LF or at a lone LF; the terminator is not part of the line, and a last
// line without terminator is read like any other.
class TextFileReader {
public:
    static constexpr qsizetype kBlockSize = 1 << 20;

    // Tests make blocks tiny to cut characters and line ends everywhere.
    explicit TextFileReader(qsizetype blockSize = kBlockSize);

    bool Open(const QString& path, EncodingGuess guess = EncodingGuess::Book);
    // Reads in the chosen encoding (a byte order mark of that encoding is
    // skipped), or guesses as for a book when the choice is automatic.
    bool Open(const QString& path, EncodingChoice choice);

    // The next piece of a line: all of the line up to its end (`lineEnds`),
    // or, when the line goes on beyond what has been read, the part read so
    // far. A line of any length thus comes in pieces of about a block,
    // never more. The view stays valid until the next call.
    ReadStatus ReadPiece(QStringView& piece, bool& lineEnds);

    // The next whole line; the view stays valid until the next call. False
    // at the end of the file, after a read error (HasError) or a wrong guess
    // (GuessedWrong).
    bool ReadLine(QStringView& line);

    bool HasError() const { return error_; }
    // The file gave far more than its size when opened (a file that never
    // ends, such as one under /proc): the reading stopped with an error.
    bool Outgrew() const { return outgrew_; }
    // How far past its size at the open a file may grow while it is read.
    static constexpr qint64 kGrowthAllowance = 64 * 1024 * 1024;
    bool GuessedWrong() const { return guessedWrong_; }
    TextEncoding Encoding() const { return encoding_; }

private:
    bool Start(const QString& path, std::optional<TextEncoding> chosen, EncodingGuess guess);
    bool Fill();

    qsizetype blockSize_;
    QFile file_;
    TextEncoding encoding_ = TextEncoding::Gb18030;
    bool tentative_ = false;  // UTF-8 guessed from the first block, not yet proved
    std::optional<TextDecoder> decoder_;
    QByteArray head_;  // the first bytes, read to judge the encoding, then decoded
    qsizetype headPos_ = 0;
    QByteArray block_;
    QString text_;        // decoded, not yet handed out
    qsizetype pos_ = 0;   // start of what is not handed out yet in text_
    QString lineBuffer_;  // a whole line that came in several pieces
    bool endOfFile_ = false;
    bool inLine_ = false;        // the last piece handed out did not end its line
    bool skipLineFeed_ = false;  // the last line ended at a CR at the end of the text
    bool error_ = false;
    bool outgrew_ = false;
    qint64 byteLimit_ = 0;  // size at the open plus the growth allowance
    qint64 bytesRead_ = 0;
    bool guessedWrong_ = false;
};

// Reads a whole (small) text file as lines; nullopt when it cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path, EncodingGuess guess = EncodingGuess::Book);
