#pragma once

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringView>

// Heading rules besides the built-in recogniser: each a regular expression
// a heading line matches, for the forms web novels use that the built-in
// rule was not made for (第一千零一章, Chapter 12, 001 标题, 【一】, 楔子 …).
// A line is tested without its outer spaces, ASCII or ideographic, and only
// when it is shorter than kRuleLineLimit: titles are short, prose is not.
struct HeadingRule {
    QString name;
    QRegularExpression pattern;
    QString example;  // a heading line the rule takes
    // The characters a heading of the rule can begin with, so a survey of
    // a book skips the others at once; empty: any.
    QString leads;
    bool namedSections = false;  // the rule of the named sections alone
    // Headings where the built-in recogniser finds them, with the pattern
    // unused: the built-in rule split into parts, or marked by hand.
    bool builtInHeadings = false;
    // Chapters longer than kPartLimit are read in parts of about
    // kPartLength characters.
    bool splitsLongChapters = false;
    // The headings of the rule that begin volumes rather than chapters;
    // none when the rule knows no volumes.
    QRegularExpression volumes;
    // Lines of the book (from 0) the reader made headings, or plain text,
    // by hand: they count whatever the rule says of them.
    QSet<std::int32_t> markedHeadings;
    QSet<std::int32_t> unmarkedHeadings;

    bool Takes(QStringView line) const;
    bool KnowsVolumes() const { return !volumes.pattern().isEmpty(); }
    bool BeginsVolume(QStringView title) const { return KnowsVolumes() && volumes.match(title).hasMatch(); }
};

inline constexpr qsizetype kRuleLineLimit = 60;

// The name that stands for the built-in recogniser wherever a rule is named.
inline constexpr char16_t kBuiltInRuleName[] = u"内置规则";

// The built-in recogniser as a rule, to carry marks made by hand.
HeadingRule BuiltInRule();

// Parts of a long chapter: cut at the first line end after kPartLength
// characters, never (unless one line is longer) after kPartLimit.
inline constexpr qsizetype kPartLength = 10000;
inline constexpr qsizetype kPartLimit = 20000;
// The built-in recogniser's chapters, those longer than kPartLimit in parts:
// a book without headings is read in parts of the whole.
inline constexpr char16_t kPartsRuleName[] = u"长章分段（约一万字一段）";

// Where the first part of `text` ends, counted from `from`: past the line
// end that closes it; 0 when the text from there is short enough to stay
// whole, or no line end lies past the part's place.
qsizetype PartEnd(QStringView text, qsizetype from = 0);

// The rules shipped with the reader, in the order they are offered.
const QList<HeadingRule>& ShippedRules();

// `rule`, or a named section (楔子, 番外, 后记 …): its name ends in
// kWithNamedSuffix.
HeadingRule WithNamedSections(const HeadingRule& rule);
inline constexpr char16_t kWithNamedSuffix[] = u"＋命名章节";

// The rule of kPartsRuleName, shipped besides ShippedRules: it has no
// pattern of its own, so surveys leave it out.
const HeadingRule& PartsRule();

// The shipped rule of that name (PartsRule too), or null.
const HeadingRule* FindShippedRule(QStringView name);

// A rule of the user's own, tested on every short line.
HeadingRule UserRule(const QString& name, const QString& pattern, const QString& example = {});

// Why `pattern` cannot be a rule, in words a user can act on ("第 4 个字符处:
// 缺少右括号"); empty when it can. A pattern that matches an empty line is
// refused too: it would make every blank line a chapter.
QString PatternProblem(const QString& pattern);

// `line` without its leading and trailing ASCII and ideographic spaces: a
// heading's title as a rule sees it.
QStringView TrimAllSpaces(QStringView line);
