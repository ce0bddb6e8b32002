// Prints a book's chapter table as the reader builds it, one JSON object a
// line, or classifies lines read from standard input as headings or not.
//
//   txtchapters FILE            {"index":N,"title":"…","body":"…"} per chapter
//   txtchapters --count FILE    the number of chapters
//   txtchapters --headings      {"heading":true|false,"line":"…"} per input line
//
// --encoding NAME before FILE reads the book in GB18030, UTF-8, Big5,
// UTF-16LE or UTF-16BE instead of detecting its encoding ("" detects).
// --rule NAME splits it by a shipped heading rule instead of the built-in
// recogniser (--rules lists their names; "内置规则" or "builtin" is the built-in one;
// "auto" the rule the reader would offer for the book, if any),
// --pattern REGEX by a rule of your own, and --with-named adds the named
// sections (楔子, 番外, 后记 …) to either.

#include "core/books/reader_state.h"
#include "core/books/text_loader.h"
#include "core/text/chapter_heading.h"
#include "core/text/file_names.h"
#include "core/text/heading_rules.h"
#include "core/text/rule_survey.h"
#include "core/text/text_encoding.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// A host without a window: nothing to show, nothing to yield to.
class HeadlessHost : public LoaderHost {
public:
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override { return true; }
};

void AppendJsonString(std::string& out, const QString& text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void Write(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

int PrintChapters(const QString& path, bool countOnly, EncodingChoice encoding, const HeadingRule* rule, bool automatic)
{
    ReaderState state;
    HeadlessHost host;
    LoadTuning tuning;
    tuning.rule = rule;
    RuleSurvey survey;
    if (automatic)
        tuning.survey = &survey;
    LoadResult result = LoadTextFile(state, path, host, encoding, tuning);
    // The rule the reader would offer: the book is read again by it.
    std::optional<HeadingRule> better;
    if (automatic && result.Succeeded()) {
        if (const std::optional<QString> name = survey.Better())
            better = FindSurveyedRule(*name);
    }
    if (better) {
        tuning.rule = &*better;
        tuning.survey = nullptr;
        result = ReloadTextFile(state, result.Code, host, encoding, tuning);
    }
    if (!result.Succeeded()) {
        const QByteArray text = LoadFailureText(result).toUtf8();
        std::fprintf(stderr, "%s\n", text.constData());
        return 1;
    }
    const Book& book = state.Books[result.Code];
    if (countOnly) {
        std::printf("%d\n", book.LastChapter() + 1);
        return 0;
    }
    std::string out;
    for (int i = 0; i <= book.LastChapter(); ++i) {
        out.clear();
        out += "{\"index\":" + std::to_string(i) + ",\"title\":";
        AppendJsonString(out, book.Chapters[i].Title);
        out += ",\"body\":";
        AppendJsonString(out, book.ChapterTexts[i]);
        out += "}\n";
        Write(out);
    }
    return 0;
}

int ClassifyStandardInput()
{
    std::string input;
    char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        input.append(buffer, got);
    if (!input.empty() && input.back() == '\n')
        input.pop_back();  // a final LF ends the last line rather than starting one
    if (input.empty())
        return 0;
    const QString all = QString::fromUtf8(input.data(), static_cast<qsizetype>(input.size()));
    std::string out;
    for (QStringView piece : QStringView(all).split(u'\n')) {
        QString line = piece.toString();
        const bool heading = IsChapterHeading(line);
        out.clear();
        out += heading ? "{\"heading\":true,\"line\":" : "{\"heading\":false,\"line\":";
        AppendJsonString(out, line);
        out += "}\n";
        Write(out);
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: txtchapters [--count] [--encoding NAME] [--rule RULE | --pattern REGEX] [--with-named] FILE\n"
                 "       txtchapters --headings | txtchapters --rules\n"
                 "NAME: GB18030, UTF-8, Big5, UTF-16LE, UTF-16BE, or \"\" to detect the encoding\n");
    return 2;
}

int PrintRuleNames()
{
    std::string out = QString::fromUtf16(kBuiltInRuleName).toStdString() + '\n';
    for (const HeadingRule& rule : ShippedRules())
        out += rule.name.toStdString() + '\n';
    out += PartsRule().name.toStdString() + '\n';
    Write(out);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--headings") == 0)
        return ClassifyStandardInput();
    if (argc == 2 && std::strcmp(argv[1], "--rules") == 0)
        return PrintRuleNames();
    bool countOnly = false;
    bool withNamed = false;
    bool automatic = false;  // --rule auto
    std::optional<HeadingRule> rule;
    EncodingChoice encoding = EncodingChoice::Automatic;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--count") == 0 && !countOnly) {
            countOnly = true;
        } else if (std::strcmp(argv[i], "--encoding") == 0 && i + 1 < argc) {
            const std::optional<EncodingChoice> named =
                EncodingChoiceFromSettingName(QString::fromLocal8Bit(argv[++i]));
            if (!named)
                return Usage();
            encoding = *named;
        } else if (std::strcmp(argv[i], "--rule") == 0 && i + 1 < argc && std::strcmp(argv[i + 1], "auto") == 0 && !rule
                   && !automatic) {
            automatic = true;
            ++i;
        } else if (std::strcmp(argv[i], "--rule") == 0 && i + 1 < argc && !rule && !automatic) {
            const QString name = QString::fromUtf8(argv[++i]);
            const HeadingRule* shipped = FindShippedRule(name);
            if (!shipped && name != QStringView(kBuiltInRuleName) && name != QLatin1String("builtin")) {
                std::fprintf(stderr, "txtchapters: no rule named %s (--rules lists them)\n", argv[i]);
                return 2;
            }
            if (shipped)
                rule = *shipped;
        } else if (std::strcmp(argv[i], "--pattern") == 0 && i + 1 < argc && !rule && !automatic) {
            const QString pattern = QString::fromUtf8(argv[++i]);
            if (const QString problem = PatternProblem(pattern); !problem.isEmpty()) {
                std::fprintf(stderr, "txtchapters: %s\n", problem.toUtf8().constData());
                return 2;
            }
            rule = UserRule(QStringLiteral("--pattern"), pattern);
        } else if (std::strcmp(argv[i], "--with-named") == 0) {
            withNamed = true;
        } else if (argv[i][0] != '-' && !file) {
            file = argv[i];
        } else {
            return Usage();
        }
    }
    if (!file)
        return Usage();
    if (withNamed) {
        // The built-in recogniser takes no additions: named sections join a rule.
        if (!rule || automatic)
            return Usage();
        rule = WithNamedSections(*rule);
    }
    return PrintChapters(PathFromNative(file), countOnly, encoding, rule ? &*rule : nullptr, automatic);
}
