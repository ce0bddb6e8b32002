#pragma once

#include <QList>
#include <QRegularExpression>
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

    bool Takes(QStringView line) const;
};

inline constexpr qsizetype kRuleLineLimit = 60;

// The name that stands for the built-in recogniser wherever a rule is named.
inline constexpr char16_t kBuiltInRuleName[] = u"内置规则";

// The rules shipped with the reader, in the order they are offered.
const QList<HeadingRule>& ShippedRules();

// `rule`, or a named section (楔子, 番外, 后记 …): its name ends in
// kWithNamedSuffix.
HeadingRule WithNamedSections(const HeadingRule& rule);
inline constexpr char16_t kWithNamedSuffix[] = u"＋命名章节";

// The shipped rule of that name, or null.
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
