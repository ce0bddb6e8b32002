#include "core/books/rule_memory.h"

#include "core/books/book_settings.h"
#include "core/files/plain_file.h"
#include "core/text/file_names.h"
#include "core/text/line_reader.h"
#include "core/text/rule_survey.h"

#include <algorithm>

RuleMemory::RuleMemory(const ReaderFolders& folders)
    : choicesPath_(folders.StateFile(QString::fromUtf16(kBookRulesName)))
    , userRulesPath_(folders.StateFile(QString::fromUtf16(kUserRulesName)))
    , marksPath_(folders.StateFile(QString::fromUtf16(kBookMarksName)))
{}

namespace {

// The lines "<value> TAB <path>" of a file of book.rules's kind; a line
// broken by hand is passed over, never the whole file.
template <typename Take>
void ForEachBookLine(const QString& file, Take take)
{
    if (!IsListedFile(file))
        return;
    for (const QString& line : ReadTextLines(file, EncodingGuess::Settings).value_or(QStringList())) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0 && tab + 1 < line.size())
            take(line.left(tab), line.mid(tab + 1));
    }
}

}  // namespace

void RuleMemory::ReadOnce()
{
    if (read_)
        return;
    read_ = true;
    ForEachBookLine(choicesPath_, [this](const QString& value, const QString& path) {
        if (!choices_.contains(path))
            choiceOrder_.append(path);
        choices_.insert(path, value);
    });
    ForEachBookLine(marksPath_, [this](const QString& value, const QString& path) {
        Marks& marks = marks_[path];
        if (!marksOrder_.contains(path))
            marksOrder_.append(path);
        for (const QString& word : value.split(u' ', Qt::SkipEmptyParts)) {
            bool isNumber = false;
            const int number = word.mid(1).toInt(&isNumber);
            if (!isNumber || number < 1)
                continue;
            if (word.front() == u'+')
                marks.headings.insert(number - 1);
            else if (word.front() == u'-')
                marks.plain.insert(number - 1);
        }
    });
    if (IsListedFile(userRulesPath_)) {
        for (const QString& line : ReadTextLines(userRulesPath_, EncodingGuess::Settings).value_or(QStringList())) {
            const QStringList fields = line.split(u'\t');
            // A line broken by hand is passed over, never the whole file.
            if (fields.size() < 2 || fields[0].isEmpty() || !PatternProblem(fields[1]).isEmpty())
                continue;
            userRules_.append(UserRule(fields[0], fields[1], fields.value(2)));
        }
    }
}

std::optional<QString> RuleMemory::ChoiceFor(const QString& path)
{
    ReadOnce();
    const auto found = choices_.constFind(AsReadBack(path));
    return found == choices_.cend() ? std::nullopt : std::optional<QString>(*found);
}

QHash<QString, QString> RuleMemory::Choices()
{
    ReadOnce();
    return choices_;
}

FileWriteResult RuleMemory::Choose(const QString& path, const QString& rule)
{
    ReadOnce();
    const QString key = AsReadBack(path);
    if (!choices_.contains(key))
        choiceOrder_.append(key);
    choices_.insert(key, rule);
    return WriteChoices();
}

FileWriteResult RuleMemory::MarkHeading(const QString& path, std::int32_t line, bool heading)
{
    ReadOnce();
    const QString key = AsReadBack(path);
    if (!marks_.contains(key))
        marksOrder_.append(key);
    Marks& marks = marks_[key];
    // Undoing a mark removes it; otherwise the line is marked as asked.
    QSet<std::int32_t>& undone = heading ? marks.plain : marks.headings;
    if (!undone.remove(line))
        (heading ? marks.headings : marks.plain).insert(line);
    return WriteMarks();
}

std::shared_ptr<const HeadingRule> RuleMemory::RuleForBook(const QString& path, const std::optional<QString>& name)
{
    ReadOnce();
    const QString key = AsReadBack(path);
    const QString ruleName = name.value_or(choices_.value(key, QString::fromUtf16(kBuiltInRuleName)));
    const auto marks = marks_.constFind(key);
    const bool marked = marks != marks_.cend() && !(marks->headings.isEmpty() && marks->plain.isEmpty());
    std::shared_ptr<const HeadingRule> found = FindRule(ruleName);
    if (!marked)
        return found;
    if (!found && ruleName != QStringView(kBuiltInRuleName))
        return nullptr;
    auto rule = std::make_shared<HeadingRule>(found ? *found : BuiltInRule());
    rule->markedHeadings = marks->headings;
    rule->unmarkedHeadings = marks->plain;
    return rule;
}

const QList<HeadingRule>& RuleMemory::UserRules()
{
    ReadOnce();
    return userRules_;
}

QString RuleMemory::AddUserRule(const QString& name, const QString& pattern, const QString& example)
{
    ReadOnce();
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(u'\t') || trimmed.contains(u'\n') || trimmed.contains(u'\r'))
        return QStringLiteral("规则名称不能为空，也不能含有制表符或换行");
    if (FindRule(trimmed) || trimmed == QStringView(kBuiltInRuleName))
        return QStringLiteral("已经有名为「%1」的规则").arg(trimmed);
    if (QString problem = PatternProblem(pattern); !problem.isEmpty())
        return problem;
    if (pattern.contains(u'\t') || pattern.contains(u'\n') || example.contains(u'\t') || example.contains(u'\n'))
        return QStringLiteral("规则和示例行不能含有制表符或换行");
    userRules_.append(UserRule(trimmed, pattern, example));
    const FileWriteResult written = WriteUserRules();
    if (!written) {
        userRules_.removeLast();
        return written.reason;
    }
    return {};
}

FileWriteResult RuleMemory::RemoveUserRule(const QString& name)
{
    ReadOnce();
    userRules_.removeIf([&](const HeadingRule& rule) { return rule.name == name; });
    return WriteUserRules();
}

std::shared_ptr<const HeadingRule> RuleMemory::FindRule(const QString& name)
{
    ReadOnce();
    if (std::optional<HeadingRule> shipped = FindSurveyedRule(name))
        return std::make_shared<const HeadingRule>(std::move(*shipped));
    const QStringView suffix(kWithNamedSuffix);
    const QStringView base = name.endsWith(suffix) ? QStringView(name).chopped(suffix.size()) : QStringView(name);
    for (const HeadingRule& rule : userRules_) {
        if (rule.name == name)
            return std::make_shared<const HeadingRule>(rule);
        if (rule.name == base)
            return std::make_shared<const HeadingRule>(WithNamedSections(rule));
    }
    return nullptr;
}

FileWriteResult RuleMemory::WriteChoices()
{
    QString text;
    for (const QString& path : choiceOrder_) {
        if (CanBeRemembered(path))
            text += choices_.value(path) + u'\t' + path + QStringLiteral("\r\n");
    }
    return WriteGb18030File(choicesPath_, text);
}

FileWriteResult RuleMemory::WriteMarks()
{
    QString text;
    for (const QString& path : marksOrder_) {
        const Marks& marks = marks_[path];
        if (!CanBeRemembered(path) || (marks.headings.isEmpty() && marks.plain.isEmpty()))
            continue;
        QList<std::int32_t> headings(marks.headings.begin(), marks.headings.end());
        QList<std::int32_t> plain(marks.plain.begin(), marks.plain.end());
        std::sort(headings.begin(), headings.end());
        std::sort(plain.begin(), plain.end());
        QStringList words;
        for (const std::int32_t line : headings)
            words << QStringLiteral("+%1").arg(line + 1);
        for (const std::int32_t line : plain)
            words << QStringLiteral("-%1").arg(line + 1);
        text += words.join(u' ') + u'\t' + path + QStringLiteral("\r\n");
    }
    return WriteGb18030File(marksPath_, text);
}

FileWriteResult RuleMemory::WriteUserRules()
{
    QString text;
    for (const HeadingRule& rule : userRules_)
        text += rule.name + u'\t' + rule.pattern.pattern() + u'\t' + rule.example + QStringLiteral("\r\n");
    return WriteGb18030File(userRulesPath_, text);
}
