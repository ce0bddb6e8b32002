#include "core/text/text_encoding.h"

std::optional<TextEncoding> ForcedEncoding(EncodingChoice choice)
{
    switch (choice) {
    case EncodingChoice::Automatic: return std::nullopt;
    case EncodingChoice::Gb18030: return TextEncoding::Gb18030;
    case EncodingChoice::Utf8: return TextEncoding::Utf8;
    case EncodingChoice::Big5: return TextEncoding::Big5;
    case EncodingChoice::Utf16LE: return TextEncoding::Utf16LE;
    case EncodingChoice::Utf16BE: return TextEncoding::Utf16BE;
    }
    return std::nullopt;
}

EncodingChoice ChoiceOf(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Gb18030: return EncodingChoice::Gb18030;
    case TextEncoding::Utf8: return EncodingChoice::Utf8;
    case TextEncoding::Big5: return EncodingChoice::Big5;
    case TextEncoding::Utf16LE: return EncodingChoice::Utf16LE;
    case TextEncoding::Utf16BE: return EncodingChoice::Utf16BE;
    }
    return EncodingChoice::Automatic;
}

QString EncodingSettingName(EncodingChoice choice)
{
    switch (choice) {
    case EncodingChoice::Automatic: return QString();
    case EncodingChoice::Gb18030: return QStringLiteral("GB18030");
    case EncodingChoice::Utf8: return QStringLiteral("UTF-8");
    case EncodingChoice::Big5: return QStringLiteral("Big5");
    case EncodingChoice::Utf16LE: return QStringLiteral("UTF-16LE");
    case EncodingChoice::Utf16BE: return QStringLiteral("UTF-16BE");
    }
    return QString();
}

QString EncodingMenuName(EncodingChoice choice)
{
    return choice == EncodingChoice::Automatic ? QStringLiteral("自动") : EncodingSettingName(choice);
}

std::optional<EncodingChoice> EncodingChoiceFromSettingName(QStringView name)
{
    for (const EncodingChoice choice : kEncodingChoices) {
        if (name.compare(EncodingSettingName(choice), Qt::CaseInsensitive) == 0)
            return choice;
    }
    return std::nullopt;
}
