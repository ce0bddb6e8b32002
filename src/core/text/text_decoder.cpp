#include "core/text/text_decoder.h"

#include "core/text/block_decoder.h"
#include "core/text/file_names.h"
#include "core/text/icu_converter.h"

namespace {

std::unique_ptr<BlockDecoder> MakeDecoder(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return MakeUtf8Decoder();
    case TextEncoding::Utf16LE: return MakeUtf16Decoder(false);
    case TextEncoding::Utf16BE: return MakeUtf16Decoder(true);
    case TextEncoding::Big5: return MakeBig5Decoder();
    case TextEncoding::Gb18030: break;
    }
    return MakeGb18030Decoder();
}

// `substitute` stands for characters the encoding lacks (none when null).
QByteArray EncodeWithIcu(QStringView text, const char* converterName, const char* substitute)
{
    UErrorCode status = U_ZERO_ERROR;
    const IcuConverter converter(ucnv_open(converterName, &status));
    if (U_FAILURE(status))
        return QByteArray();
    if (substitute)
        ucnv_setSubstChars(converter.get(), substitute, 1, &status);
    QByteArray out(text.size() * 4 + 4, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()),
                        reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return QByteArray();
    out.truncate(length);
    return out;
}

QByteArray EncodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8), low = static_cast<char>(c.unicode() & 0xFF);
        out.append(bigEndian ? high : low);
        out.append(bigEndian ? low : high);
    }
    return out;
}

}  // namespace

TextDecoder::TextDecoder(TextEncoding encoding) : encoding_(encoding), decoder_(MakeDecoder(encoding))
{}

TextDecoder::~TextDecoder() = default;

void TextDecoder::Decode(QByteArrayView bytes, QString& out)
{
    decoder_->Decode(bytes, out);
}

void TextDecoder::Finish(QString& out)
{
    decoder_->Finish(out);
}

qint64 TextDecoder::InvalidSequences() const
{
    return decoder_->InvalidSequences();
}

QString DecodeText(QByteArrayView bytes, TextEncoding encoding)
{
    TextDecoder decoder(encoding);
    QString text;
    decoder.Decode(bytes, text);
    decoder.Finish(text);
    return text;
}

QByteArray EncodeGb18030(QStringView text)
{
    if (!HoldsByteEscapes(text))
        return EncodeText(text, TextEncoding::Gb18030);
    // A path whose name is not UTF-8 is written as the bytes of its name:
    // GBK names, the usual kind, come back as the same text when read.
    QByteArray bytes;
    for (const TextStretch& stretch : CutAtByteRuns(text))
        bytes += stretch.bytes ? NativePath(stretch.text) : EncodeText(stretch.text, TextEncoding::Gb18030);
    return bytes;
}

QByteArray EncodeText(QStringView text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return text.toUtf8();
    case TextEncoding::Utf16LE: return EncodeUtf16(text, false);
    case TextEncoding::Utf16BE: return EncodeUtf16(text, true);
    case TextEncoding::Big5: return EncodeWithIcu(text, "Big5", "?");
    case TextEncoding::Gb18030: break;
    }
    return EncodeWithIcu(text, "gb18030", nullptr);
}
