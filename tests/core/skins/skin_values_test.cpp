#include "core/skins/skin_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

using Colour = std::optional<std::int32_t>;
using Points = std::optional<double>;

TEST(SkinColour, ReadsDecimalIntegersAs32BitSigned)
{
    EXPECT_EQ(ParseSkinColour("0"), Colour(0));
    EXPECT_EQ(ParseSkinColour("16777215"), Colour(0xFFFFFF));
    EXPECT_EQ(ParseSkinColour("  3245822 "), Colour(3245822));
    EXPECT_EQ(ParseSkinColour("+255"), Colour(255));
    EXPECT_EQ(ParseSkinColour("-1"), Colour(-1));
    EXPECT_EQ(ParseSkinColour("000000000000000065535"), Colour(65535));
    EXPECT_EQ(ParseSkinColour("2147483647"), Colour(std::numeric_limits<std::int32_t>::max()));
    EXPECT_EQ(ParseSkinColour("-2147483648"), Colour(std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ(ParseSkinColour("2147483648"), std::nullopt);
    EXPECT_EQ(ParseSkinColour("-2147483649"), std::nullopt);
    EXPECT_EQ(ParseSkinColour("99999999999999999999"), std::nullopt);
}

TEST(SkinColour, TextThatIsNotAPlainNumberDoesNotConvert)
{
    for (const char16_t* text : {u"", u"   ", u"red", u"12abc", u"12 34", u"0x10", u"&HFF", u"1e3", u"- 5", u"+", u".",
                                 u"\t5", u"5\t", u"\u30005", u"１２", u"1,000"})
        EXPECT_EQ(ParseSkinColour(QString::fromUtf16(text)), std::nullopt) << QString::fromUtf16(text).toStdString();
}

TEST(SkinColour, FractionsRoundToNearestWithHalvesToEven)
{
    EXPECT_EQ(ParseSkinColour("255.0"), Colour(255));
    EXPECT_EQ(ParseSkinColour("255."), Colour(255));
    EXPECT_EQ(ParseSkinColour("2.4999"), Colour(2));
    EXPECT_EQ(ParseSkinColour("2.5"), Colour(2));
    EXPECT_EQ(ParseSkinColour("3.5"), Colour(4));
    EXPECT_EQ(ParseSkinColour("2.50001"), Colour(3));
    EXPECT_EQ(ParseSkinColour("-2.5"), Colour(-2));
    EXPECT_EQ(ParseSkinColour("-2.6"), Colour(-3));
    EXPECT_EQ(ParseSkinColour(".7"), Colour(1));
    EXPECT_EQ(ParseSkinColour("2147483646.5"), Colour(2147483646));
    EXPECT_EQ(ParseSkinColour("2147483647.5"), std::nullopt);
    EXPECT_EQ(ParseSkinColour("-2147483648.5"), Colour(std::numeric_limits<std::int32_t>::min()));
}

TEST(SkinPointSize, ReadsPositiveDecimalPoints)
{
    EXPECT_EQ(ParsePointSize("12"), Points(12));
    EXPECT_EQ(ParsePointSize("10.5"), Points(10.5));
    EXPECT_EQ(ParsePointSize(" 9 "), Points(9));
    EXPECT_EQ(ParsePointSize("+36"), Points(36));
    EXPECT_EQ(ParsePointSize(".5"), Points(0.5));
    EXPECT_EQ(ParsePointSize("12."), Points(12));
    EXPECT_EQ(ParsePointSize("007.250"), Points(7.25));

    for (const char16_t* text : {u"", u"0", u"0.0", u"-3", u"-0", u"inf", u"infinity", u"nan", u"1e3", u"10,5", u"12pt",
                                 u".", u"1.2.3", u"\t12", u"１２"})
        EXPECT_EQ(ParsePointSize(QString::fromUtf16(text)), std::nullopt) << QString::fromUtf16(text).toStdString();
    // Digits alone can leave the range of a double.
    EXPECT_EQ(ParsePointSize(QString(400, u'9')), std::nullopt);
}

TEST(SkinPointSize, FormatsTheShortestPlainDecimal)
{
    EXPECT_EQ(FormatPointSize(12.0f), "12");
    EXPECT_EQ(FormatPointSize(10.5f), "10.5");
    EXPECT_EQ(FormatPointSize(0.1f), "0.1");
    EXPECT_EQ(FormatPointSize(7.3f), "7.3");
    EXPECT_EQ(FormatPointSize(1e20f), "100000002004087734272");
    EXPECT_EQ(FormatPointSize(std::numeric_limits<float>::infinity()), "");
    EXPECT_EQ(FormatPointSize(std::numeric_limits<float>::quiet_NaN()), "");

    // What the skin manager writes reads back as the same size.
    for (float size = 0.25f; size < 400.0f; size = size * 1.37f + 0.01f) {
        const Points read = ParsePointSize(FormatPointSize(size));
        ASSERT_TRUE(read.has_value()) << size;
        EXPECT_EQ(static_cast<float>(*read), size);
    }
}

}  // namespace
