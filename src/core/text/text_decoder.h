#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <memory>

// The encodings a book or settings file can be in. Anything that is not
// marked by a byte order mark and is not strictly valid UTF-8 is GBK, which
// we read as GB18030 (a superset: every GBK file decodes the same).
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Gb18030 };

// Length of the byte order mark at the start of `head` for `encoding`
// (0 when there is none).
qsizetype ByteOrderMarkLength(QByteArrayView head, TextEncoding encoding);

// The encoding a byte order mark at the start of `head` announces, if any.
bool EncodingFromByteOrderMark(QByteArrayView head, TextEncoding& encoding);

// Checks UTF-8 strictly (no overlong forms, no surrogates, nothing above
// U+10FFFF) across any number of blocks.
class Utf8Validator {
public:
    // False as soon as the bytes seen so far cannot be valid UTF-8.
    bool Feed(QByteArrayView bytes);
    // True when everything fed was valid and no sequence is left open.
    bool Finish() const { return valid_ && pending_ == 0; }

private:
    bool valid_ = true;
    int pending_ = 0;                            // continuation bytes still expected
    unsigned char lower_ = 0x80, upper_ = 0xBF;  // range of the next continuation byte
};

// A stateful decoder: feed it a file block by block and a character cut in
// two by a block boundary still decodes as one. Invalid bytes become U+FFFD.
class TextDecoder {
public:
    explicit TextDecoder(TextEncoding encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // Decodes `bytes` and appends the characters to `out`.
    void Decode(QByteArrayView bytes, QString& out);
    // Ends the input: an unfinished sequence becomes U+FFFD.
    void Finish(QString& out);

private:
    qsizetype DecodeRun(const unsigned char* bytes, qsizetype size, char16_t* out);
    static int DecodeOne(const unsigned char* bytes, qsizetype size, char16_t* out, qsizetype& produced);

    void RememberTail(QByteArrayView bytes);
    bool UnicodeTailIsOpen() const;

    TextEncoding encoding_;
    QStringDecoder unicode_;       // UTF-8 and UTF-16
    unsigned char carry_[8] = {};  // GB18030 bytes of a sequence cut by a block end
    int carryLength_ = 0;
    unsigned char tail_[4] = {};  // last bytes fed to a UTF-8/16 decoder
    qint64 totalBytes_ = 0;
};

// Encodes text as GB18030 (identical to GBK for every GBK character).
QByteArray EncodeGb18030(QStringView text);
