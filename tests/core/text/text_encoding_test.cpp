#include "core/text/text_encoding.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// What the View menu lists and what a settings file stores, in menu order.
TEST(EncodingNames, MenuAndSettingNames)
{
    QStringList menu, stored;
    for (const EncodingChoice choice : kEncodingChoices) {
        menu.append(EncodingMenuName(choice));
        stored.append(EncodingSettingName(choice));
    }
    EXPECT_EQ(menu, QStringList({QStringLiteral("自动"), "GB18030", "UTF-8", "Big5", "UTF-16LE", "UTF-16BE"}));
    EXPECT_EQ(stored, QStringList({"", "GB18030", "UTF-8", "Big5", "UTF-16LE", "UTF-16BE"}));
}

TEST(EncodingNames, StoredNamesReadBack)
{
    for (const EncodingChoice choice : kEncodingChoices) {
        EXPECT_EQ(EncodingChoiceFromSettingName(EncodingSettingName(choice)), choice);
        // Hand-edited files may differ in letter case.
        EXPECT_EQ(EncodingChoiceFromSettingName(EncodingSettingName(choice).toLower()), choice);
    }
    for (const char* unknown : {"GBK", "UTF8", "utf-16", "自动", " UTF-8", "Big5 "})
        EXPECT_EQ(EncodingChoiceFromSettingName(QString::fromUtf8(unknown)), std::nullopt) << unknown;
}

TEST(EncodingNames, ChoicesAndEncodings)
{
    EXPECT_EQ(ForcedEncoding(EncodingChoice::Automatic), std::nullopt);
    for (const EncodingChoice choice : kEncodingChoices) {
        if (const std::optional<TextEncoding> encoding = ForcedEncoding(choice)) {
            EXPECT_EQ(ChoiceOf(*encoding), choice);
        }
    }
}

}  // namespace
