// 繁简转换: real text converted by OpenCC's tables, with every character
// kept at its offset, since the reader's places are offsets.

#include "core/text/script_converter.h"
#include "core/text/text_decoder.h"
#include "support/test_files.h"

#include <QDir>

#include <gtest/gtest.h>

#include <opencc/SimpleConverter.hpp>

namespace {

QString Rulinwaishi()
{
    return DecodeText(ReadBytes(QStringLiteral(READER_CORPUS_DIR "/rulinwaishi.gbk.txt")), TextEncoding::Gb18030);
}

// OpenCC's own converter, as the reference.
class OpenCc {
public:
    explicit OpenCc(const char* config)
        : converter_(QDir(OpenCcConfigFolder()).filePath(QString::fromLatin1(config)).toStdString())
    {}
    QString Converts(const QString& text) const
    {
        return QString::fromStdString(converter_.Convert(text.toStdString()));
    }

private:
    opencc::SimpleConverter converter_;
};

// A novel in traditional characters reads as OpenCC has it in simplified
// ones, and back, line for line, wherever OpenCC keeps a line's length. A
// few lines it would lengthen (駪 becomes 𬳽, beyond the BMP) keep their
// length here.
TEST(ScriptConverterTest, RealTraditionalTextToSimplifiedAndBack)
{
    const QString traditional = Rulinwaishi();
    const ScriptConverter toSimplified(ScriptChoice::ToSimplified);
    const ScriptConverter toTraditional(ScriptChoice::ToTraditional);
    ASSERT_TRUE(toSimplified.Ready()) << toSimplified.Problem().toStdString();
    ASSERT_TRUE(toTraditional.Ready()) << toTraditional.Problem().toStdString();

    const QString simplified = toSimplified.Convert(traditional);
    ASSERT_EQ(simplified.size(), traditional.size());
    EXPECT_TRUE(traditional.contains(QStringLiteral("說楔子敷陳大義")));
    EXPECT_TRUE(simplified.contains(QStringLiteral("说楔子敷陈大义")));
    const QStringList lines = traditional.split(u'\n');
    const QStringList shown = simplified.split(u'\n');
    ASSERT_EQ(shown.size(), lines.size());
    const OpenCc reference("t2s.json");
    int lengthened = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(shown[i].size(), lines[i].size()) << i;
        const QString opencc = reference.Converts(lines[i]);
        if (opencc.size() == lines[i].size())
            EXPECT_EQ(shown[i], opencc) << i;
        else
            ++lengthened;
    }
    EXPECT_GT(lengthened, 0);
    EXPECT_LT(lengthened, lines.size() / 10);

    const QString back = toTraditional.Convert(simplified);
    ASSERT_EQ(back.size(), traditional.size());
    EXPECT_TRUE(back.contains(QStringLiteral("說楔子敷陳大義")));
}

// 二噁英 becomes 二𫫇英 in OpenCC's tables, one UTF-16 unit longer; 复𫗧
// becomes 覆餗, one shorter. Such a phrase goes character by character (噁
// alone is 恶), a character that would change length stays, and the text
// after it keeps its offsets.
TEST(ScriptConverterTest, APhraseThatWouldChangeLengthGoesCharacterByCharacter)
{
    ASSERT_NE(OpenCc("t2s.json").Converts(QStringLiteral("二噁英")).size(), 3);
    ASSERT_NE(OpenCc("s2t.json").Converts(QStringLiteral("复𫗧")).size(), 3);

    const QString text = QStringLiteral("報告說二噁英有毒。\r\n說");
    const QString shown = ScriptConverter(ScriptChoice::ToSimplified).Convert(text);
    EXPECT_EQ(shown, QStringLiteral("报告说二恶英有毒。\r\n说"));

    const QString simplified = QStringLiteral("折足复𫗧，国");
    const QString traditional = ScriptConverter(ScriptChoice::ToTraditional).Convert(simplified);
    ASSERT_EQ(traditional.size(), simplified.size());
    EXPECT_NE(traditional[2], simplified[2]);  // 复 alone converts
    EXPECT_EQ(traditional.mid(3, 3), QStringLiteral("𫗧，"));
    EXPECT_EQ(traditional.back(), QChar(u'國'));
}

// Without OpenCC's tables nothing is converted and the user can be told why.
TEST(ScriptConverterTest, MissingTablesConvertNothing)
{
    const ScriptConverter converter(ScriptChoice::ToSimplified, QStringLiteral("/nonexistent/opencc"));
    EXPECT_FALSE(converter.Ready());
    EXPECT_TRUE(converter.Problem().contains(QStringLiteral("OpenCC")));
    EXPECT_EQ(converter.Convert(QStringLiteral("說")), QStringLiteral("說"));
}

}  // namespace
