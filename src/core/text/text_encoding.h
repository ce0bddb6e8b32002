#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The encodings a book can be read in. GBK books are read as GB18030, a
// superset in which every GBK file reads the same.
enum class TextEncoding { Gb18030, Utf8, Big5, Utf16LE, Utf16BE };

// How a book is to be read: detected automatically, or in one encoding the
// user chose.
enum class EncodingChoice { Automatic, Gb18030, Utf8, Big5, Utf16LE, Utf16BE };

// Every choice in the order a menu lists them.
inline constexpr std::array<EncodingChoice, 6> kEncodingChoices = {
    EncodingChoice::Automatic, EncodingChoice::Gb18030, EncodingChoice::Utf8,
    EncodingChoice::Big5,      EncodingChoice::Utf16LE, EncodingChoice::Utf16BE,
};

// The one encoding a choice asks for; nothing for automatic.
std::optional<TextEncoding> ForcedEncoding(EncodingChoice choice);

// The choice that asks for exactly `encoding`.
EncodingChoice ChoiceOf(TextEncoding encoding);

// The caption a menu shows: "自动", "GB18030", "UTF-8", "Big5", "UTF-16LE",
// "UTF-16BE".
QString EncodingMenuName(EncodingChoice choice);

// The name a settings file stores: the menu's name, and the empty text for
// automatic.
QString EncodingSettingName(EncodingChoice choice);

// The choice a stored name stands for (letter case aside); nothing for a
// name that is not one of ours.
std::optional<EncodingChoice> EncodingChoiceFromSettingName(QStringView name);
