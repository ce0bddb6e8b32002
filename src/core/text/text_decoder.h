#pragma once

#include "core/text/text_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>

class BlockDecoder;

// A stateful decoder: feed it a file block by block, in blocks of any size,
// and it gives exactly what decoding the whole file at once gives. An
// invalid sequence becomes one U+FFFD and never takes a CR or LF with it.
class TextDecoder {
public:
    explicit TextDecoder(TextEncoding encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    TextEncoding Encoding() const { return encoding_; }
    // Decodes `bytes` and appends the characters to `out`.
    void Decode(QByteArrayView bytes, QString& out);
    // Ends the input: an unfinished sequence becomes U+FFFD.
    void Finish(QString& out);
    // Invalid sequences met so far.
    qint64 InvalidSequences() const;

private:
    TextEncoding encoding_;
    std::unique_ptr<BlockDecoder> decoder_;
};

// Decodes a whole text at once.
QString DecodeText(QByteArrayView bytes, TextEncoding encoding);

// Encodes text as GB18030 (identical to GBK for every GBK character). A
// character that stands for a byte of a file name (see PathFromNative) is
// written as that byte.
QByteArray EncodeGb18030(QStringView text);

// Encodes text in `encoding`, without a byte order mark. Characters the
// encoding lacks (Big5 has no simplified forms) become "?".
QByteArray EncodeText(QStringView text, TextEncoding encoding);
