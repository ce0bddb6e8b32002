#include "core/text/heading_rules.h"

#include <utility>

namespace {

// Numerals as web novels write chapter numbers: Chinese (any length, with
// 零, 〇, 两 and 万), ASCII and full-width digits.
#define READER_NUMERALS u"[0-9０-９零〇一二两三四五六七八九十百千万]+"

// Sections with a name instead of a number.
// The section marker after 第N and what may follow it: nothing, a
// separator and then anything, or a title run on without one but never a
// sentence (第四回中既将……，) nor a word that makes it prose (第二回合,
// 第三部分, 第一节课).
#define READER_MARKER u"[章回节集卷部篇](?:$|[\\s:：、.．·—-]|(?!合|分|课|团|程)[^，。！？；,!?;]*$)"

#define READER_NAMED                                                                                                   \
    u"(?:楔子|引子|序言|序章|序幕|前言|引言|番外|后记|尾声|终章|大结局|完本感言|上架感言|简介|内容简介)"

HeadingRule Rule(const char16_t* name, const char16_t* pattern, const char16_t* example, const char16_t* leads,
                 QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption)
{
    // \s takes the ideographic space too, and \b Chinese words.
    options |= QRegularExpression::UseUnicodePropertiesOption;
    HeadingRule rule;
    rule.name = QString::fromUtf16(name);
    rule.pattern = QRegularExpression(QString::fromUtf16(pattern), options);
    rule.example = QString::fromUtf16(example);
    rule.leads = QString::fromUtf16(leads);
    rule.pattern.optimize();
    return rule;
}

// The regular expression library's words for the faults users make most,
// in Chinese; any other is shown as the library says it.
QString ReadableError(const QString& error)
{
    static const std::pair<const char*, const char16_t*> kKnown[] = {
        {"missing closing parenthesis", u"缺少右括号 )"},
        {"missing terminating ] for character class", u"缺少右方括号 ]"},
        {"quantifier does not follow a repeatable item", u"重复符号 * + ? {} 前面没有可以重复的内容"},
        {"\\ at end of pattern", u"表达式以反斜杠 \\ 结尾"},
        {"unmatched closing parenthesis", u"多了一个右括号 )"},
    };
    for (const auto& [english, chinese] : kKnown) {
        if (error == QLatin1String(english))
            return QString::fromUtf16(chinese);
    }
    return error;
}

}  // namespace

bool HeadingRule::Takes(QStringView line) const
{
    const QStringView title = TrimAllSpaces(line);
    return !title.isEmpty() && title.size() < kRuleLineLimit && pattern.match(title).hasMatch();
}

QStringView TrimAllSpaces(QStringView line)
{
    const auto isSpace = [](QChar c) { return c == u' ' || c == u'\u3000' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isSpace(line[begin]))
        ++begin;
    while (end > begin && isSpace(line[end - 1]))
        --end;
    return line.sliced(begin, end - begin);
}

const QList<HeadingRule>& ShippedRules()
{
    static const QList<HeadingRule> rules = [] {
        QList<HeadingRule> shipped = {
            Rule(u"第N章（数字不限长短）", u"^第\\s*" READER_NUMERALS u"\\s*" READER_MARKER, u"第七千四百零二章 风雨",
                 u"第"),
            Rule(u"Chapter N", u"^chapter\\s*(?:[0-9]+|[ivxlc]+)\\b", u"Chapter 12 The Storm", u"Cc",
                 QRegularExpression::CaseInsensitiveOption),
            Rule(u"数字编号（001 标题、12. 标题）", u"^[0-9０-９]{1,5}(?:$|[\\s.．、:：]\\s*\\S)", u"012 夜行",
                 u"0123456789０１２３４５６７８９"),
            Rule(u"中文编号（一、标题）", u"^[零〇一二两三四五六七八九十百千]+、", u"十二、夜行",
                 u"零〇一二两三四五六七八九十百千"),
            Rule(u"括号编号（【一】、（12））", u"^[【\\[（(〔〖]\\s*" READER_NUMERALS u"\\s*[】\\]）)〕〗]",
                 u"【十二】夜行", u"【[（(〔〖"),
            Rule(u"No. / Part N", u"^(?:no\\.?|part)\\s*(?:[0-9]+|[ivxlc]+)\\b", u"Part 3: Home", u"NnPp",
                 QRegularExpression::CaseInsensitiveOption),
            Rule(u"罗马数字（XII. 标题）", u"^[IVXLC]+(?:$|[.、:：\\s])", u"XII. The Storm", u"IVXLC"),
            Rule(u"卷与章（第N卷、卷N、第N章）",
                 u"^(?:第\\s*" READER_NUMERALS u"\\s*" READER_MARKER u"|卷\\s*" READER_NUMERALS u"(?:$|\\s))",
                 u"卷三 风起", u"第卷"),
            Rule(u"命名章节（楔子、番外、后记 …）", u"^" READER_NAMED u"(?:$|[\\s:：、·—-])", u"番外 江湖",
                 u"楔引序前番后尾终大完上简内"),
        };
        shipped.back().namedSections = true;
        // Volumes: 第N卷 and 卷N as a level above the chapters.
        const QRegularExpression volumes(
            QString::fromUtf16(u"^(?:第\\s*" READER_NUMERALS u"\\s*卷|卷\\s*" READER_NUMERALS u")"),
            QRegularExpression::UseUnicodePropertiesOption);
        shipped[0].volumes = volumes;
        shipped[7].volumes = volumes;
        return shipped;
    }();
    return rules;
}

HeadingRule WithNamedSections(const HeadingRule& rule)
{
    HeadingRule combined = rule;
    combined.name = rule.name + QString::fromUtf16(kWithNamedSuffix);
    combined.pattern = QRegularExpression(QStringLiteral("(?:") + rule.pattern.pattern()
                                              + QString::fromUtf16(u")|^" READER_NAMED u"(?:$|[\\s:：、·—-])"),
                                          rule.pattern.patternOptions());
    combined.leads = rule.leads.isEmpty() ? QString() : rule.leads + ShippedRules().back().leads;
    combined.pattern.optimize();
    return combined;
}

HeadingRule BuiltInRule()
{
    HeadingRule rule;
    rule.name = QString::fromUtf16(kBuiltInRuleName);
    rule.builtInHeadings = true;
    return rule;
}

qsizetype PartEnd(QStringView text, qsizetype from)
{
    constexpr QStringView kLineEnd = u"\r\n";
    if (text.size() - from <= kPartLimit)
        return 0;
    if (const qsizetype end = text.indexOf(kLineEnd, from + kPartLength);
        end >= 0 && end + kLineEnd.size() - from <= kPartLimit)
        return end + kLineEnd.size();
    if (const qsizetype end = text.lastIndexOf(kLineEnd, from + kPartLimit - kLineEnd.size()); end >= from)
        return end + kLineEnd.size();
    // One line longer than a part: it stays whole.
    const qsizetype end = text.indexOf(kLineEnd, from + kPartLimit);
    return end >= 0 && end + kLineEnd.size() < text.size() ? end + kLineEnd.size() : 0;
}

const HeadingRule& PartsRule()
{
    static const HeadingRule rule = [] {
        HeadingRule parts = BuiltInRule();
        parts.name = QString::fromUtf16(kPartsRuleName);
        parts.splitsLongChapters = true;
        return parts;
    }();
    return rule;
}

const HeadingRule* FindShippedRule(QStringView name)
{
    if (name == PartsRule().name)
        return &PartsRule();
    for (const HeadingRule& rule : ShippedRules()) {
        if (rule.name == name)
            return &rule;
    }
    return nullptr;
}

HeadingRule UserRule(const QString& name, const QString& pattern, const QString& example)
{
    HeadingRule rule;
    rule.name = name;
    rule.pattern = QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
    rule.pattern.optimize();
    rule.example = example;
    return rule;
}

QString PatternProblem(const QString& pattern)
{
    if (pattern.trimmed().isEmpty())
        return QStringLiteral("规则是空的");
    const QRegularExpression expression(pattern);
    if (!expression.isValid()) {
        return QStringLiteral("第 %1 个字符处: %2")
            .arg(expression.patternErrorOffset() + 1)
            .arg(ReadableError(expression.errorString()));
    }
    if (expression.match(QString()).hasMatch())
        return QStringLiteral("规则连空行也认作标题");
    return {};
}
