#include "core/text/file_names.h"

#include "core/text/text_decoder.h"

namespace {

constexpr char16_t kEscapeBase = 0xdc00;

// The length of the valid UTF-8 sequence at `at`, or 0 when there is none
// (a stray byte, an overlong form, a surrogate or a code point past U+10FFFF).
qsizetype Utf8SequenceLength(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned low = 0x80;
    unsigned high = 0xbf;  // the allowed range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = at + 2; i < at + length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xbf)
            return 0;
    }
    return length;
}

// Whether the character at `i` stands for a byte: the low half of a
// surrogate pair (U+10080 is D800 DC80) does not.
bool EscapeAt(QStringView path, qsizetype i)
{
    return IsByteEscape(path[i]) && !(i > 0 && path[i - 1].isHighSurrogate());
}

}  // namespace

QString PathFromNative(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString path;
    path.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype length = Utf8SequenceLength(bytes, i); length > 0) {
            path += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        } else {
            path += QChar(kEscapeBase + static_cast<unsigned char>(bytes[i]));
            ++i;
        }
    }
    return path;
}

bool HoldsByteEscapes(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (EscapeAt(path, i))
            return true;
    }
    return false;
}

QByteArray NativePath(QStringView path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size();) {
        if (EscapeAt(path, i)) {
            bytes += static_cast<char>(path[i].unicode() - kEscapeBase);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < path.size() && !EscapeAt(path, end))
            ++end;
        const QStringView text = path.sliced(i, end - i);
        if (!text.isValidUtf16() || text.contains(QChar(u'\0')))
            return {};
        bytes += text.toUtf8();
        i = end;
    }
    return bytes;
}

QList<TextStretch> CutAtByteRuns(QStringView text)
{
    QList<TextStretch> stretches;
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].unicode() < 0x80) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool escaped = false;
        while (end < text.size() && text[end].unicode() >= 0x80)
            escaped |= EscapeAt(text, end++);
        if (escaped) {
            if (plainFrom < i)
                stretches.append({text.sliced(plainFrom, i - plainFrom), false});
            stretches.append({text.sliced(i, end - i), true});
            plainFrom = end;
        }
        i = end;
    }
    if (plainFrom < text.size())
        stretches.append({text.sliced(plainFrom), false});
    return stretches;
}

QString AsReadBack(const QString& text)
{
    return HoldsByteEscapes(text) ? DecodeText(EncodeGb18030(text), TextEncoding::Gb18030) : text;
}

QString ReadablePath(QStringView path)
{
    if (!HoldsByteEscapes(path))
        return path.toString();
    QString readable;
    for (const TextStretch& stretch : CutAtByteRuns(path))
        readable +=
            stretch.bytes ? DecodeText(NativePath(stretch.text), TextEncoding::Gb18030) : stretch.text.toString();
    return readable;
}
