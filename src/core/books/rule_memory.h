#pragma once

#include "core/files/reader_folders.h"
#include "core/files/text_file_writer.h"
#include "core/text/heading_rules.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

// The heading rule each book is split by, and the rules the user made, in
// two files of the state folder beside book.ini, which stays as it was:
//   book.rules  "<rule name> TAB <path>" a line; the built-in recogniser's
//               name for a book whose offered rule was turned down
//   book.marks  "<lines> TAB <path>" a line: the lines (from 1) made
//               headings by hand as +N, made plain text as -N
//   rules.txt   "<name> TAB <regular expression> TAB <example line>" a line,
//               for the user to edit too
// They are read once, at the first question, and written at each change.
class RuleMemory {
public:
    explicit RuleMemory(const ReaderFolders& folders);

    // The name of the rule chosen for the book at `path`, if any was.
    std::optional<QString> ChoiceFor(const QString& path);
    // Every book's chosen rule, by path (as book.rules keeps it).
    QHash<QString, QString> Choices();
    FileWriteResult Choose(const QString& path, const QString& rule);

    // Line `line` (from 0) of the book at `path` made a heading by hand, or
    // plain text; a mark that only restores what the rule says goes away.
    FileWriteResult MarkHeading(const QString& path, std::int32_t line, bool heading);

    // The rule the book at `path` is read by: `name` (else the one chosen
    // for it) with the headings marked by hand. Null for the built-in
    // recogniser without marks, and for a name no rule has.
    std::shared_ptr<const HeadingRule> RuleForBook(const QString& path, const std::optional<QString>& name = {});

    // The user's rules, in the order they were added.
    const QList<HeadingRule>& UserRules();
    // Adds a rule: empty when it was kept, else why not (the name is taken,
    // holds a TAB, or the pattern cannot be used).
    QString AddUserRule(const QString& name, const QString& pattern, const QString& example);
    FileWriteResult RemoveUserRule(const QString& name);

    // A rule of any kind by name: the built-in recogniser's name gives
    // null, as does a name no rule has.
    std::shared_ptr<const HeadingRule> FindRule(const QString& name);

private:
    void ReadOnce();
    FileWriteResult WriteChoices();
    FileWriteResult WriteUserRules();
    FileWriteResult WriteMarks();

    QString choicesPath_;
    QString userRulesPath_;
    QString marksPath_;
    bool read_ = false;
    QHash<QString, QString> choices_;  // path -> rule name
    QStringList choiceOrder_;          // paths in file order
    QList<HeadingRule> userRules_;
    struct Marks {
        QSet<std::int32_t> headings;
        QSet<std::int32_t> plain;
    };
    QHash<QString, Marks> marks_;  // path -> lines marked
    QStringList marksOrder_;       // paths in file order
};

inline constexpr char16_t kBookRulesName[] = u"book.rules";
inline constexpr char16_t kUserRulesName[] = u"rules.txt";
inline constexpr char16_t kBookMarksName[] = u"book.marks";
