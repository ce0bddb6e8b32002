#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// File names on Linux are bytes. Most are UTF-8, but books copied from
// Windows archives often keep GBK names, which no decoding into text keeps
// whole. A path read from the system therefore keeps every byte: valid
// UTF-8 is decoded as usual, and each byte of anything else becomes one
// character U+DC80..U+DCFF, a lone surrogate that no real text holds.
// NativePath gives the same bytes back, so such a book opens, is listed and
// is remembered like any other.
QString PathFromNative(QByteArrayView bytes);

// The bytes of the file `path` names; empty for text no file name can hold
// (a NUL, or a lone surrogate that stands for no byte).
QByteArray NativePath(QStringView path);

// Whether `c` may stand for a byte of a name that is not UTF-8 (it does
// unless it ends a surrogate pair).
constexpr bool IsByteEscape(QChar c)
{
    return c.unicode() >= 0xdc80 && c.unicode() <= 0xdcff;
}
// Whether any character of `path` stands for such a byte.
bool HoldsByteEscapes(QStringView path);

// Bytes of a GBK name may happen to form valid UTF-8 too ("\xce\xbc" is
// "μ"), so a name is only whole as a run: a stretch of non-ASCII characters
// holding an escaped byte stands for the name's bytes as they are
// (NativePath gives them), the rest is text. CutAtByteRuns cuts `text` into
// such stretches, in order.
struct TextStretch {
    QStringView text;
    bool bytes = false;
};
QList<TextStretch> CutAtByteRuns(QStringView text);

// The path as a person reads it: each run of bytes read as GB18030, the
// encoding such names come in.
QString ReadablePath(QStringView path);

// `text` as a settings file written in GB18030 gives it back: a path whose
// name is not UTF-8 is written as its bytes and read back as GBK text.
QString AsReadBack(const QString& text);
