#include "core/text/chapter_heading.h"
#include "core/text/heading_rules.h"
#include "core/text/number_forms.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct HeadingCase {
    const char16_t* line;
    bool heading;
};

class WorkedExamples : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(WorkedExamples, AnswerAsDocumented)
{
    QString line = QString::fromUtf16(GetParam().line);
    EXPECT_EQ(IsChapterHeading(line), GetParam().heading) << line.toStdString();
}

// The recogniser's reference table: each line with the answer it must give.
INSTANTIATE_TEST_SUITE_P(
    ChapterHeading, WorkedExamples,
    ::testing::Values(HeadingCase{u"第一章 风云再起", true}, HeadingCase{u"第1章", true}, HeadingCase{u"第01章", true},
                      HeadingCase{u"12", true}, HeadingCase{u"3.0", true}, HeadingCase{u"3.5", false},
                      HeadingCase{u"一百二十三", true}, HeadingCase{u"序", true}, HeadingCase{u"序言", true},
                      HeadingCase{u"设 定", true}, HeadingCase{u"大结局", true}, HeadingCase{u"尾声", true},
                      HeadingCase{u"楔子", false}, HeadingCase{u"后记", false}, HeadingCase{u"鬼吹灯第一部", true},
                      HeadingCase{u"番外 第一章", true}, HeadingCase{u"第一卷 第一章 开始", true},
                      HeadingCase{u"卷一", true}, HeadingCase{u"第一回", true}, HeadingCase{u"章", true},
                      HeadingCase{u"上卷", false}, HeadingCase{u"第一章：风云", true},
                      HeadingCase{u"作者：某某", false}, HeadingCase{u"（一）", true}, HeadingCase{u"(3)", true},
                      HeadingCase{u"()", false}, HeadingCase{u"第", false}, HeadingCase{u"第三章（上）", true},
                      HeadingCase{u"第一百二十三章风云再起", true}, HeadingCase{u"第一千二百三十四章风云", false},
                      HeadingCase{u"第一千二百三十四章 风云", false}, HeadingCase{u"一百零三", false},
                      HeadingCase{u"零", false}, HeadingCase{u"一、", false}, HeadingCase{u"1 风云再起", true},
                      HeadingCase{u"一 风云", true}, HeadingCase{u"Chapter 1", false}, HeadingCase{u"12:30", false},
                      HeadingCase{u"〓〓〓", false}, HeadingCase{u"第一章〓", true},
                      // Edge cases around the named rules.
                      HeadingCase{u"（１２）", false},   // full-width digits are in neither set
                      HeadingCase{u"序列号错误", true},  // "序" first decides, whatever follows
                      HeadingCase{u"007", true}, HeadingCase{u"-3", true}, HeadingCase{u"1e3", true},
                      HeadingCase{u"1,000", false},  // thousands form, but reading stops at ","
                      HeadingCase{u"nan", false}, HeadingCase{u"inf", false},
                      HeadingCase{u"2009-10-01 第一章", false},  // a date before the first space rules the line out
                      HeadingCase{u"23:59:59", false},
                      HeadingCase{u"24:00", true},                 // not a time of day, so its residue "24" is read
                      HeadingCase{u"第十二回　风雪山神庙", true},  // an ideographic space ends the residue
                      HeadingCase{u"　第一章", true}));            // the ideographic indent stays in the line

TEST(ChapterHeading, CleansShortLinesAndLeavesLongOnesAlone)
{
    // 29 characters without the outer spaces: examined and cleaned.
    const QString body29 = QString(27, QChar(u'文')) + QStringLiteral("〓字");
    QString line = QStringLiteral("  ") + body29 + QStringLiteral(" ");
    EXPECT_FALSE(IsChapterHeading(line));
    EXPECT_EQ(line, QString(27, QChar(u'文')) + QStringLiteral("字"));

    // 30 characters: rejected unchanged, outer spaces and "〓" included.
    const QString raw = QStringLiteral("  〓") + QString(29, QChar(u'文')) + QStringLiteral(" ");
    line = raw;
    EXPECT_FALSE(IsChapterHeading(line));
    EXPECT_EQ(line, raw);

    // Only the ASCII space is trimmed: ideographic spaces and tabs stay.
    line = QString::fromUtf16(u"　　他说 ");
    EXPECT_FALSE(IsChapterHeading(line));
    EXPECT_EQ(line, QString::fromUtf16(u"　　他说"));
    line = QString::fromUtf16(u"\t第一章\t");
    IsChapterHeading(line);
    EXPECT_EQ(line, QString::fromUtf16(u"\t第一章\t"));

    // A heading is cleaned too, and that cleaned form is what gets stored.
    line = QString::fromUtf16(u"  第〓二章  ");
    EXPECT_TRUE(IsChapterHeading(line));
    EXPECT_EQ(line, QString::fromUtf16(u"第二章"));
}

TEST(ChapterHeading, TwentyNineCharacterHeadingIsStillExamined)
{
    QString line = QStringLiteral("第一章 ") + QString(25, QChar(u'风'));
    ASSERT_EQ(line.size(), 29);
    EXPECT_TRUE(IsChapterHeading(line));
    line = QStringLiteral("第一章 ") + QString(26, QChar(u'风'));
    EXPECT_FALSE(IsChapterHeading(line));
}

TEST(NumberForms, WholeNumbersByOurOwnGrammar)
{
    for (const char16_t* yes : {u"0", u"+4", u"1.50e1", u"0,000", u"99999999999999999999", u"2E2"})
        EXPECT_TRUE(IsWholeNumber(QString::fromUtf16(yes))) << QString::fromUtf16(yes).toStdString();
    for (const char16_t* no : {u"", u"-", u"1.", u".5", u"1e", u"1e-1", u"1,", u",1", u"1,,2", u"0x10", u"1 2", u"１２",
                               u"1e999", u"infinity", u"12a"})
        EXPECT_FALSE(IsWholeNumber(QString::fromUtf16(no))) << QString::fromUtf16(no).toStdString();
}

TEST(NumberForms, DatesAndTimesOfDay)
{
    for (const char16_t* yes :
         {u"2009-10-01", u"2009/10/1", u"10/1/2009", u"2-29", u"0:00", u"9:05", u"23:59:59", u"2000-02-29"})
        EXPECT_TRUE(IsDateOrTime(QString::fromUtf16(yes))) << QString::fromUtf16(yes).toStdString();
    for (const char16_t* no : {u"2009-13-45", u"2001-02-29", u"24:00", u"12:60", u"12:30:61", u"12:", u":30",
                               u"1-2-3-4", u"12", u"第1-2", u"2009-10/01"})
        EXPECT_FALSE(IsDateOrTime(QString::fromUtf16(no))) << QString::fromUtf16(no).toStdString();
}

}  // namespace

// The loader's quick test never turns a heading away, nor a line cleaning
// would change: checked on every line of the corpus and on random short
// lines drawn from markers, spaces, fillers and plain characters.
TEST(ChapterHeading, TheQuickTestNeverMissesAHeadingOrALineToClean)
{
    QStringList lines;
    for (const QString& name : QDir(QStringLiteral(READER_CORPUS_DIR)).entryList({QStringLiteral("*.utf8.txt")})) {
        QFile book(QDir(QStringLiteral(READER_CORPUS_DIR)).filePath(name));
        ASSERT_TRUE(book.open(QIODevice::ReadOnly));
        lines += QString::fromUtf8(book.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    }
    ASSERT_GT(lines.size(), 10000);
    const QString alphabet = QStringLiteral("第一十百千章回卷集序设外大尾声结局0123456789()（） 　〓:：-/.天地人说道");
    QRandomGenerator random(17);
    for (int i = 0; i < 200000; ++i) {
        QString line;
        for (int n = random.bounded(1, 12); n > 0; --n)
            line += alphabet[random.bounded(alphabet.size())];
        lines.append(line);
    }
    int skipped = 0;
    for (const QString& line : lines) {
        if (NeedsHeadingTest(line))
            continue;
        ++skipped;
        QString tested = line;
        EXPECT_FALSE(IsChapterHeading(tested)) << tested.toStdString();
        EXPECT_EQ(tested, line);
    }
    EXPECT_GT(skipped, 1000);
}

// Every shipped rule takes its own example and no sentence of prose; a
// user's pattern is refused with the place and the reason of its fault.
TEST(HeadingRules, ShippedRulesTakeTheirExamplesAndBadPatternsAreNamed)
{
    const QString prose = QStringLiteral("第二天一早，他们就出发了，一路上说说笑笑。");
    for (const HeadingRule& rule : ShippedRules()) {
        EXPECT_TRUE(rule.Takes(rule.example)) << rule.name.toStdString();
        EXPECT_TRUE(rule.Takes(QStringLiteral("　　") + rule.example + u' ')) << rule.name.toStdString();
        EXPECT_FALSE(rule.Takes(prose)) << rule.name.toStdString();
        EXPECT_FALSE(rule.Takes(rule.example + QString(kRuleLineLimit, u'长'))) << rule.name.toStdString();
        EXPECT_EQ(FindShippedRule(rule.name), &rule);
    }
    const HeadingRule* chapters = FindShippedRule(u"第N章（数字不限长短）");
    ASSERT_NE(chapters, nullptr);
    EXPECT_FALSE(chapters->Takes(u"楔子"));
    EXPECT_TRUE(WithNamedSections(*chapters).Takes(u"楔子"));
    EXPECT_FALSE(chapters->Takes(u"第四回中既将薛家母子在荣府内寄居等事略已表明，此回则暂不能写矣。"));

    EXPECT_TRUE(PatternProblem(QStringLiteral("^第.+章")).isEmpty());
    EXPECT_EQ(PatternProblem(QStringLiteral("^(第.+章")), QStringLiteral("第 7 个字符处: 缺少右括号 )"));
    EXPECT_FALSE(PatternProblem(QStringLiteral("^\\d*$")).isEmpty());  // takes every blank line
    EXPECT_FALSE(PatternProblem(QStringLiteral("  ")).isEmpty());
}
