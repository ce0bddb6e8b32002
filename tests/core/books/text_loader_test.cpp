#include "core/books/book_lines.h"
#include "core/books/text_loader.h"
#include "core/text/chapter_heading.h"
#include "core/text/heading_rules.h"
#include "core/text/rule_survey.h"
#include "support/fake_loader_host.h"
#include "support/test_files.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Chapter {
    QString title;
    QString body;
    bool operator==(const Chapter&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Chapter& c)
{
    return out << "{" << c.title.toStdString() << " | " << c.body.toStdString() << "}";
}

std::vector<Chapter> Table(const ReaderState& state, int slot)
{
    std::vector<Chapter> table;
    const Book& book = state.Books[slot];
    EXPECT_EQ(book.Chapters.size(), book.ChapterTexts.size());
    for (int i = 0; i <= book.LastChapter(); ++i) {
        EXPECT_EQ(book.Chapters[i].Number, i);
        table.push_back({book.Chapters[i].Title, book.ChapterTexts[i]});
    }
    return table;
}

class Loader : public ::testing::Test {
protected:
    // Loads GBK text through a real file and returns its chapter table.
    std::vector<Chapter> LoadGbk(const QString& text)
    {
        const LoadResult result =
            LoadTextFile(state, folder.WriteGbk(QStringLiteral("书%1.txt").arg(++files), text), host);
        EXPECT_TRUE(result.Succeeded());
        return Table(state, result.Code);
    }
    std::vector<Chapter> LoadBytes(const QByteArray& bytes)
    {
        const LoadResult result =
            LoadTextFile(state, folder.WriteBytes(QStringLiteral("b%1.txt").arg(++files), bytes), host);
        EXPECT_TRUE(result.Succeeded());
        return Table(state, result.Code);
    }

    // Every body line of a book split by a rule is at the place the
    // built-in split has it, said either way.
    static void ExpectPlacesCarried(const Book& ruleBook, const Book& builtInBook, int lines);

    TempFolder folder;
    ReaderState state;
    FakeLoaderHost host;
    int files = 0;
};

TEST_F(Loader, ChapterTablesFollowTheHeadingLines)
{
    using C = std::vector<Chapter>;
    const QString ch1 = QStringLiteral("第一章 开端"), ch2 = QStringLiteral("第二章 发展"),
                  text = QStringLiteral("正文");
    // A file that begins with a heading: that heading is chapter 0's title.
    EXPECT_EQ(LoadGbk(ch1 + "\r\n" + text + "\r\n" + ch2 + "\r\n" + text + "\r\n"),
              (C{{ch1, text + "\r\n"}, {ch2, text + "\r\n"}}));
    // Text before the first heading is chapter 0 without title.
    EXPECT_EQ(LoadGbk(QStringLiteral("简介\r\n第一章\r\n正文")),
              (C{{"", QStringLiteral("简介\r\n")}, {QStringLiteral("第一章"), text + "\r\n"}}));
    // Adjacent headings: the last replaces the title of the chapter in progress.
    EXPECT_EQ(LoadGbk(QStringLiteral("第一章\r\n第二章\r\n正文\r\n")), (C{{QStringLiteral("第二章"), text + "\r\n"}}));
    // A blank line between headings is body text, so both make chapters.
    EXPECT_EQ(LoadGbk(QStringLiteral("第一章\r\n\r\n第二章\r\n正文")),
              (C{{QStringLiteral("第一章"), "\r\n"}, {QStringLiteral("第二章"), text + "\r\n"}}));
    // "序" alone is a heading, not preamble text.
    EXPECT_EQ(LoadGbk(QStringLiteral("序\r\n正文")), (C{{QStringLiteral("序"), text + "\r\n"}}));
    EXPECT_EQ(LoadGbk(""), (C{{"", ""}}));
    EXPECT_EQ(LoadGbk(QStringLiteral("只有正文\r\n没有标题")), (C{{"", QStringLiteral("只有正文\r\n没有标题\r\n")}}));
}

TEST_F(Loader, BodyLinesAreStoredAsCleaned)
{
    const QString longLine = QStringLiteral(" 〓") + QString(30, QChar(u'长')) + " ";
    const auto table = LoadGbk(QStringLiteral("　　他说 \r\n  〓引子〓  \r\n") + longLine + "\r\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].body, QStringLiteral("　　他说\r\n引子\r\n") + longLine + "\r\n");
}

TEST_F(Loader, EveryLineEndFormSplitsTheSameWay)
{
    const QString ch1 = QStringLiteral("第一章"), ch2 = QStringLiteral("第二章");
    const std::vector<Chapter> expected = {{ch1, QStringLiteral("甲\r\n")}, {ch2, QStringLiteral("乙\r\n")}};
    for (const char* end : {"\r\n", "\r", "\n"}) {
        const QString text = ch1 + end + QStringLiteral("甲") + end + ch2 + end + QStringLiteral("乙");
        EXPECT_EQ(LoadGbk(text), expected) << "line end " << QByteArray(end).toHex().constData();
        EXPECT_EQ(LoadBytes(text.toUtf8()), expected);
        EXPECT_EQ(LoadBytes("\xEF\xBB\xBF" + text.toUtf8()), expected);
    }
}

// A rule changes where chapters begin and nothing else: headings the
// built-in recogniser misses (a long numeral, a named section) start
// chapters, a heading right after another keeps its own chapter, prose that
// starts like a heading stays prose, and every body line is stored as the
// built-in load stores it (cleaned when short).
TEST_F(Loader, ARuleSplitsAtItsHeadingsAndKeepsTheText)
{
    const QString text =
        QStringLiteral("作者的话 〓 \r\n楔子\r\n开篇\r\n第一卷 风起\r\n第一千零一章 夜行\r\n　　正文一行\r\n"
                       "第二回合就被打败了，他说。\r\n第一千零二章：归来\r\n末行\r\n");
    const HeadingRule rule = WithNamedSections(*FindShippedRule(u"第N章（数字不限长短）"));
    LoadTuning tuning;
    tuning.rule = &rule;
    const LoadResult result =
        LoadTextFile(state, folder.WriteGbk(QStringLiteral("规则.txt"), text), host, EncodingChoice::Automatic, tuning);
    ASSERT_TRUE(result.Succeeded());
    const std::vector<Chapter> expected = {
        {"", "作者的话\r\n"},
        {"楔子", "开篇\r\n"},
        {"第一卷 风起", ""},
        {"第一千零一章 夜行", "　　正文一行\r\n第二回合就被打败了，他说。\r\n"},
        {"第一千零二章：归来", "末行\r\n"},
    };
    EXPECT_EQ(Table(state, result.Code), expected);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(state.Books[result.Code].Chapters[i].Volume, i == 2) << i;  // the rule knows volumes
}

// A place carried between the built-in split and a rule's by its line: on
// every line of a book whose headings the two see differently, the rule's
// place of a line, said in built-in chapters, is the built-in load's place
// of it, and back again. The same holds for long chapters read in parts,
// which are cut at line ends, at most kPartLimit long, and numbered after
// their chapter.
TEST_F(Loader, PlacesCarryBetweenSplitsByLine)
{
    QString text = QStringLiteral("前言\r\n\r\n第一章 甲\r\n第二章 乙\r\n");
    for (int i = 1; i <= 12; ++i)
        text += QStringLiteral("第%1千零一章 长\r\n正文%1\r\n　　又一行\r\n第%1章\r\n末%1\r\n").arg(i);
    text += QStringLiteral("第十三章 长\r\n");
    for (int i = 0; i < 900; ++i)
        text += QStringLiteral("　　第%1行，他望着远处的山，心里想着一些事情，一直走到天黑。\r\n").arg(i);
    text += QStringLiteral("第十四章 短\r\n末\r\n");
    const int lines = static_cast<int>(text.count(QStringLiteral("\r\n")));
    const int builtIn = LoadTextFile(state, folder.WriteGbk(QStringLiteral("乙.txt"), text), host).Code;
    const Book& builtInBook = state.Books[builtIn];
    for (const HeadingRule* rule : {FindShippedRule(u"第N章（数字不限长短）"), &PartsRule()}) {
        SCOPED_TRACE(rule->name.toStdString());
        LoadTuning byRule;
        byRule.rule = rule;
        const int ruled = LoadTextFile(state, folder.WriteGbk(rule->name + QStringLiteral(".txt"), text), host,
                                       EncodingChoice::Automatic, byRule)
                              .Code;
        const Book& ruleBook = state.Books[ruled];
        ASSERT_GT(ruleBook.LastChapter(), builtInBook.LastChapter());
        ExpectPlacesCarried(ruleBook, builtInBook, lines);
    }
    const Book& parts = state.Books[state.Books.Count()];
    QString longChapter;
    QStringList titles;
    for (int i = 0; i <= parts.LastChapter(); ++i) {
        EXPECT_LE(parts.ChapterTexts[i].size(), kPartLimit);
        if (parts.Chapters[i].Part > 0) {
            longChapter += parts.ChapterTexts[i];
            titles << parts.Chapters[i].Title;
        }
    }
    EXPECT_EQ(titles, QStringList({"第十三章 长（1）", "第十三章 长（2）", "第十三章 长（3）"}));
    EXPECT_EQ(longChapter, builtInBook.ChapterTexts[builtInBook.LastChapter() - 1]);
}

void Loader::ExpectPlacesCarried(const Book& ruleBook, const Book& builtInBook, int lines)
{
    int bodyLines = 0;
    for (std::int32_t line = 0; line < lines; ++line) {
        const ReadingPlace inRule = PlaceOfLine(ruleBook, {line, 1});
        const ReadingPlace inBuiltIn = PlaceOfLine(builtInBook, {line, 1});
        // Heading lines are no place to stand in either split.
        if (LineOfPlace(ruleBook, inRule).line != line || LineOfPlace(builtInBook, inBuiltIn).line != line)
            continue;
        ++bodyLines;
        EXPECT_EQ(BuiltInPlace(ruleBook, inRule), inBuiltIn) << line;
        EXPECT_EQ(PlaceOfBuiltInPlace(ruleBook, inBuiltIn), inRule) << line;
    }
    EXPECT_GT(bodyLines, 30);
}

// The rule a survey of the load offers, for books whose headings take the
// usual forms the built-in recogniser misses, in GBK and in UTF-8: the rule
// that takes exactly their headings; and none for a book it reads well.
TEST_F(Loader, ASurveyOffersTheRuleThatTakesTheBooksHeadings)
{
    const QString prose = QStringLiteral("　　他望着远处的山，心里想着一些事情，一直走到天黑才回去。\r\n");
    // Numbers too long for the built-in recogniser's residue.
    const QString numerals[] = {QStringLiteral("一千四百零一"), QStringLiteral("一千四百零二"),
                                QStringLiteral("一千四百零三")};
    struct Form {
        QString heading;  // {n}: the chapter's number, {c}: in Chinese numerals
        QString rule;
    };
    const Form forms[] = {
        {QStringLiteral("第{c}章 风起"), QStringLiteral("第N章（数字不限长短）")},
        {QStringLiteral("Chapter {n} The Road"), QStringLiteral("Chapter N")},
        {QStringLiteral("{n}. 夜行"), QStringLiteral("数字编号（001 标题、12. 标题）")},
        {QStringLiteral("{c}、夜行"), QStringLiteral("中文编号（一、标题）")},
        {QStringLiteral("【{c}】夜行"), QStringLiteral("括号编号（【一】、（12））")},
        {QStringLiteral("Part {n}: Home"), QStringLiteral("No. / Part N")},
    };
    for (const Form& form : forms) {
        for (const bool utf8 : {false, true}) {
            QString text = QStringLiteral("楔子\r\n") + prose;
            for (int i = 0; i < 3; ++i)
                text += QString(form.heading).replace("{n}", QString::number(i + 1401)).replace("{c}", numerals[i])
                    + QStringLiteral("\r\n") + prose.repeated(5);
            RuleSurvey survey;
            LoadTuning tuning;
            tuning.survey = &survey;
            const QString path = utf8 ? folder.WriteBytes(QStringLiteral("u%1.txt").arg(++files), text.toUtf8())
                                      : folder.WriteGbk(QStringLiteral("g%1.txt").arg(++files), text);
            ASSERT_TRUE(LoadTextFile(state, path, host, EncodingChoice::Automatic, tuning).Succeeded());
            EXPECT_EQ(survey.Better().value_or(QString()), form.rule + QString::fromUtf16(kWithNamedSuffix))
                << form.rule.toStdString() << (utf8 ? " UTF-8" : " GBK");
        }
    }
    RuleSurvey survey;
    LoadTuning tuning;
    tuning.survey = &survey;
    LoadTextFile(state, QStringLiteral(READER_CORPUS_DIR "/xiyouji.gbk.txt"), host, EncodingChoice::Automatic, tuning);
    EXPECT_EQ(survey.Better(), std::nullopt);
}

TEST_F(Loader, MissingFilesAndDuplicates)
{
    for (const QString& path :
         {QString(), folder.Path("none.txt"), folder.Root(), folder.WriteBytes(".hidden.txt", "x")}) {
        const LoadResult result = LoadTextFile(state, path, host);
        EXPECT_EQ(result.Code, 1);
        EXPECT_EQ(result.Message, QStringLiteral("找不到该文件"));
        EXPECT_EQ(LoadFailureText(result), QStringLiteral("文件打开错误!1找不到该文件"));
    }
    EXPECT_EQ(state.Books.Count(), 0);

    const QString path = folder.WriteGbk("Book.txt", QStringLiteral("第一章\r\n甲"));
    const LoadResult first = LoadTextFile(state, path, host);
    ASSERT_TRUE(first.Succeeded());
    EXPECT_EQ(state.Books[first.Code].FileName, "Book.txt");
    // The same path again returns the book as it is, without reading the
    // file again, and without changing the current book.
    folder.WriteGbk("Book.txt", QStringLiteral("第九章\r\n乙"));
    state.CurrentBook = 0;
    const LoadResult again = LoadTextFile(state, path, host);
    EXPECT_TRUE(again.Succeeded());
    EXPECT_EQ(again.Code, first.Code);
    EXPECT_EQ(state.CurrentBook, 0);
    EXPECT_EQ(state.Books[first.Code].Chapters[0].Title, QStringLiteral("第一章"));
    // A path differing only in case is another book.
    const QString upper = folder.WriteGbk("BOOK.txt", QStringLiteral("第一章\r\n丙"));
    const LoadResult other = LoadTextFile(state, upper, host);
    EXPECT_NE(other.Code, first.Code);
    EXPECT_EQ(state.Books.Count(), 2);
}

TEST_F(Loader, StoreHoldsAtMost255Books)
{
    for (int i = 1; i <= 255; ++i) {
        const LoadResult result = LoadTextFile(state, folder.WriteBytes(QString("%1.txt").arg(i), "x"), host);
        ASSERT_TRUE(result.Succeeded());
        ASSERT_EQ(result.Code, i);
    }
    const LoadResult refused = LoadTextFile(state, folder.WriteBytes("256.txt", "x"), host);
    EXPECT_EQ(refused.error, LoadError::Overflow);
    EXPECT_EQ(state.Books.Count(), 255);
    EXPECT_EQ(state.CurrentBook, 255);
    // A book already in the full store is still found.
    EXPECT_EQ(LoadTextFile(state, folder.Path("7.txt"), host).Code, 7);
}

TEST_F(Loader, ChapterOverflowKeepsTheBookAsReadSoFar)
{
    QString text;
    for (int i = 0; i <= 32768; ++i)
        text += "1\r\nx\r\n";  // a bare number is a heading
    const LoadResult result = LoadTextFile(state, folder.WriteGbk("many.txt", text), host);
    EXPECT_EQ(result.error, LoadError::Overflow);
    ASSERT_EQ(state.Books.Count(), 1);
    const Book& book = state.Books[1];
    EXPECT_EQ(book.LastChapter(), 32767);
    EXPECT_EQ(book.Chapters[32767].Number, 32767);
    EXPECT_EQ(book.ChapterTexts[32767], "x\r\n");
}

// A file that never ends (a link to a /proc file, whose size says 0) is
// read no further than its size and the growth allowance, and says so.
TEST_F(Loader, AFileThatNeverEndsStopsAtItsSize)
{
    const QString endless = folder.Path(QStringLiteral("endless.txt"));
    if (!QFile::link(QStringLiteral("/proc/self/pagemap"), endless) || !QFile(endless).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no readable /proc/self/pagemap here";
    const LoadResult result = LoadTextFile(state, endless, host);
    EXPECT_EQ(result.error, LoadError::Outgrown);
    ASSERT_EQ(state.Books.Count(), 1);
    qsizetype characters = 0;
    for (const QString& text : state.Books[1].ChapterTexts)
        characters += text.size();
    EXPECT_LE(characters, TextFileReader::kGrowthAllowance + TextFileReader::kBlockSize);
}

TEST_F(Loader, ShowsTheBeginningWhileLoading)
{
    // Rule 1: chapter 0 with at least 5 characters is shown when it closes.
    std::vector<QString> shown;
    host.onShow = [&] { shown.push_back(state.Current().ChapterTexts[state.Current().ChapterIndex]); };
    LoadGbk(QStringLiteral("前言四字\r\n第一章\r\n正文\r\n"));
    EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("前言四字\r\n")});

    // Shorter chapter 0 and a pane that already shows something: nothing.
    shown.clear();
    LoadGbk(QStringLiteral("前言\r\n第一章\r\n正文\r\n第二章\r\n"));
    EXPECT_TRUE(shown.empty());

    // Rule 2: once chapter 1 is under way and the pane is empty, chapter 0
    // is shown (after every line, while the pane stays empty).
    host.paneEmpty = true;
    LoadGbk(QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n丙\r\n第三章\r\n"));
    EXPECT_EQ(shown, std::vector<QString>(3, QStringLiteral("甲\r\n")));
}

TEST_F(Loader, YieldsByTimeAndSurvivesWhatRunsMeanwhile)
{
    // Enough lines that the 10 ms clock runs out several times.
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += (i % 1000 == 0 ? QStringLiteral("第%1章\r\n").arg(i / 1000 + 1)
                               : QStringLiteral("一行正文，用来填满这本书。\r\n"));
    const QString big = folder.WriteGbk("big.txt", text);
    // While the big book loads, another load (a folder scan, say) adds books:
    // the store grows under the loader, which must keep filling its own slot.
    host.onYield = [&] {
        if (state.Books.Count() < 40)
            LoadTextFile(state, folder.WriteBytes(QString("extra%1.txt").arg(state.Books.Count()), "x"), host);
        return true;
    };
    const LoadResult result = LoadTextFile(state, big, host);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(result.Code, 1);
    EXPECT_GT(host.yields, 0);
    EXPECT_LT(host.yields, 200000 / 256 + 1);  // never once a line
    EXPECT_EQ(state.Books[1].LastChapter(), 199);
    EXPECT_EQ(state.Books[1].Chapters[199].Title, QStringLiteral("第200章"));

    // A host that closes the program interrupts the load.
    host.onYield = [] { return false; };
    EXPECT_EQ(LoadTextFile(state, folder.WriteGbk("big2.txt", text), host).error, LoadError::Interrupted);
}

// The real novels: every heading line the rules accept opens a chapter
// with exactly that title, in file order.
TEST(LoaderCorpus, ClassicalNovelsSplitAtTheirHeadings)
{
    QFile tsv(QStringLiteral(READER_CORPUS_DIR "/headings.tsv"));
    ASSERT_TRUE(tsv.open(QIODevice::ReadOnly));
    std::map<QString, QStringList> headings;
    tsv.readLine();
    while (!tsv.atEnd()) {
        const QStringList fields = QString::fromUtf8(tsv.readLine()).chopped(1).split(u'\t');
        headings[fields[0]].append(fields[2]);
    }
    ASSERT_EQ(headings.size(), 4u);
    for (const auto& [gbkName, lines] : headings) {
        for (const QString& name : {gbkName, QString(gbkName).replace(".gbk.", ".utf8.")}) {
            ReaderState state;
            FakeLoaderHost host;
            const LoadResult result = LoadTextFile(state, QStringLiteral(READER_CORPUS_DIR "/") + name, host);
            ASSERT_TRUE(result.Succeeded()) << name.toStdString();
            const Book& book = state.Books[result.Code];
            QStringList titles;
            for (const ChapterEntry& entry : book.Chapters)
                titles.append(entry.Title);
            int at = 0;
            int accepted = 0;
            for (QString line : lines) {
                if (!IsChapterHeading(line))
                    continue;
                ++accepted;
                const int found = titles.indexOf(line, at);
                EXPECT_GE(found, at) << name.toStdString() << ": " << line.toStdString();
                at = std::max(at, found);
            }
            EXPECT_GT(accepted, lines.size() * 9 / 10) << name.toStdString();
            // Body text is everything else: the book's text is all there.
            qsizetype chars = 0;
            for (const QString& body : book.ChapterTexts)
                chars += body.size();
            EXPECT_GT(chars, 300000) << name.toStdString();
        }
    }
}

}  // namespace

namespace {

QString CorpusText(const char* name)
{
    return QString::fromUtf8(ReadBytes(QStringLiteral(READER_CORPUS_DIR "/%1.utf8.txt").arg(name)));
}

// The text of the first `count` chapters of 儒林外史 (traditional
// characters, so all of it is in Big5 as well), its table of contents left out.
QString TraditionalChapters(int count)
{
    const QString text = CorpusText("rulinwaishi");
    const QRegularExpression heading(QStringLiteral("\n第[一二三四五六七八九十]+回"));
    const qsizetype first = text.indexOf(QStringLiteral("\n第一回　"), text.indexOf(QStringLiteral("第五十五回"))) + 1;
    qsizetype end = first;
    for (int i = 0; i < count; ++i)
        end = text.indexOf(heading, end + 1);
    return text.mid(first, end + 1 - first).replace(u'\n', QStringLiteral("\r\n"));
}

class Encodings : public Loader {
protected:
    LoadResult LoadAs(const QByteArray& bytes, EncodingChoice choice, const LoadTuning& tuning = {})
    {
        return LoadTextFile(state, folder.WriteBytes(QStringLiteral("e%1.txt").arg(++files), bytes), host, choice,
                            tuning);
    }
};

// Each encoding is found without help, and a chosen one is used; the book
// remembers both what it was read in and what was asked for.
TEST_F(Encodings, EveryEncodingLoadsTheSameChapters)
{
    const QString text = TraditionalChapters(3);
    ASSERT_EQ(LoadGbk(text).size(), 3u);
    for (const EncodingChoice choice : kEncodingChoices) {
        const std::optional<TextEncoding> encoding = ForcedEncoding(choice);
        if (!encoding)
            continue;
        const QByteArray bytes = EncodeText(text, *encoding);
        // The text as the encoding holds it: Big5 lacks a few rare characters.
        const QString held = DecodeText(bytes, *encoding);
        ASSERT_EQ(held.size(), text.size());
        ASSERT_LT(held.count(u'?'), 5);
        const std::vector<Chapter> expected = LoadGbk(held);
        for (const EncodingChoice asked : {EncodingChoice::Automatic, choice}) {
            const LoadResult result = LoadAs(bytes, asked);
            ASSERT_TRUE(result.Succeeded());
            EXPECT_EQ(Table(state, result.Code), expected) << EncodingSettingName(choice).toStdString();
            EXPECT_EQ(state.Books[result.Code].Encoding, *encoding) << EncodingSettingName(choice).toStdString();
            EXPECT_EQ(state.Books[result.Code].ChosenEncoding, asked);
        }
    }
}

// A file taken for UTF-8 from its first block turns out to be GBK further
// on: the load starts over as GB18030 in the same slot and ends exactly as
// a load as GB18030 would, with the pane shown again in between.
TEST_F(Encodings, AWrongGuessOfUtf8StartsOverInTheSameSlot)
{
    // More than the first block of UTF-8, then GBK.
    QByteArray bytes = QStringLiteral("前言：本书讲一个故事。\r\n").toUtf8();
    for (int i = 1; bytes.size() < TextFileReader::kBlockSize * 3 / 2; ++i)
        bytes += QStringLiteral("第%1章 开端\r\n正文一行，写满汉字。\r\n").arg(i).toUtf8();
    bytes += EncodeGb18030(u"第九百章 结尾\r\n汉字\r\n");

    const LoadResult other = LoadAs("other", EncodingChoice::Automatic);  // a book before it: the slot is 2
    std::vector<QString> shown;
    host.onShow = [&] { shown.push_back(state.Current().ChapterTexts.at(state.Current().ChapterIndex)); };
    const LoadResult result = LoadAs(bytes, EncodingChoice::Automatic);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(result.Code, other.Code + 1);
    EXPECT_EQ(state.Books.Count(), 2);
    EXPECT_EQ(state.CurrentBook, result.Code);
    const Book& book = state.Books[result.Code];
    EXPECT_EQ(book.Encoding, TextEncoding::Gb18030);
    EXPECT_EQ(book.ChosenEncoding, EncodingChoice::Automatic);
    EXPECT_EQ(book.ChapterIndex, 0);
    // Shown in UTF-8 at first, then empty when the load started over, then
    // the GB18030 beginning.
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], QStringLiteral("前言：本书讲一个故事。\r\n"));
    EXPECT_EQ(shown[1], QString());

    ReaderState fresh;
    FakeLoaderHost freshHost;
    const LoadResult asGbk =
        LoadTextFile(fresh, folder.WriteBytes("gbk.txt", bytes), freshHost, EncodingChoice::Gb18030);
    ASSERT_TRUE(asGbk.Succeeded());
    const std::vector<Chapter> expected = Table(fresh, asGbk.Code);
    EXPECT_EQ(Table(state, result.Code), expected);
    EXPECT_EQ(shown[2], expected.front().body);
}

// Tiny blocks cut lines, headings and characters everywhere; the chapters
// come out the same.
TEST_F(Encodings, TinyBlocksMakeTheSameChapters)
{
    // Outer spaces spread over many pieces: a long line stays as it is, a
    // short one is cleaned (and here a heading).
    const QString spaces(40, u' ');
    const QString longLine = spaces + QStringLiteral("第一章") + QString(30, u'字') + spaces;
    const QString text = QStringLiteral("  〓引子〓  \r\n正文\r\n   第一章 开端   \r\n") + longLine + "\r\n" + spaces
        + spaces + "\r\n" + QString(70, u'长') + "\r\n" + spaces + QStringLiteral("第三章〓") + spaces
        + QStringLiteral("\r\n末行");
    const std::vector<Chapter> expected = {
        {"", QStringLiteral("引子\r\n正文\r\n")},
        {QStringLiteral("第一章 开端"), longLine + "\r\n\r\n" + QString(70, u'长') + "\r\n"},
        {QStringLiteral("第三章"), QStringLiteral("末行\r\n")},
    };
    for (const TextEncoding encoding : {TextEncoding::Gb18030, TextEncoding::Utf8, TextEncoding::Utf16LE}) {
        const QByteArray bytes = EncodeText(text, encoding);
        const LoadResult whole = LoadAs(bytes, ChoiceOf(encoding));
        ASSERT_TRUE(whole.Succeeded());
        EXPECT_EQ(Table(state, whole.Code), expected);
        for (qsizetype block : {1, 2, 3, 7}) {
            const LoadResult cut = LoadAs(bytes, ChoiceOf(encoding), {block, std::chrono::milliseconds(10)});
            ASSERT_TRUE(cut.Succeeded());
            EXPECT_EQ(Table(state, cut.Code), expected) << "blocks of " << block;
        }
    }
    // A real novel, in GBK and UTF-8.
    for (const char* name : {"rulinwaishi.gbk.txt", "rulinwaishi.utf8.txt"}) {
        const QByteArray bytes = ReadBytes(QStringLiteral(READER_CORPUS_DIR "/") + name);
        const LoadResult whole = LoadAs(bytes, EncodingChoice::Automatic);
        const LoadResult cut = LoadAs(bytes, EncodingChoice::Automatic, {7, std::chrono::milliseconds(10)});
        ASSERT_TRUE(whole.Succeeded() && cut.Succeeded());
        EXPECT_EQ(Table(state, cut.Code), Table(state, whole.Code)) << name;
    }
}

// One line of any length is read in pieces, and the load yields between
// them; a host that closes the program stops it at once.
TEST_F(Encodings, AHugeLineYieldsAndStopsWhenAsked)
{
    const QByteArray bytes = EncodeGb18030(QString(20000, u'长'));
    const LoadTuning everyPiece{64, std::chrono::nanoseconds(0)};
    const LoadResult result = LoadAs(bytes, EncodingChoice::Automatic, everyPiece);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_GE(host.yields, 600);  // 40,000 bytes in blocks of 64
    EXPECT_EQ(Table(state, result.Code), (std::vector<Chapter>{{"", QString(20000, u'长') + "\r\n"}}));

    host.yields = 0;
    host.onYield = [&] { return host.yields < 3; };
    EXPECT_EQ(LoadAs(bytes, EncodingChoice::Automatic, everyPiece).error, LoadError::Interrupted);
    EXPECT_EQ(host.yields, 3);
}

class Reload : public Encodings {
protected:
    // A GBK book of five chapters, loaded as UTF-8: one chapter of nonsense.
    int LoadMisread()
    {
        text = QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n第三章\r\n丙\r\n第四章\r\n丁\r\n第五章\r\n戊\r\n");
        path = folder.WriteGbk(QStringLiteral("重读.txt"), text);
        const LoadResult result = LoadTextFile(state, path, host, EncodingChoice::Utf8);
        EXPECT_TRUE(result.Succeeded());
        EXPECT_EQ(state.Books[result.Code].LastChapter(), 0);
        state.Books[result.Code].SkinIndex = 4;
        return result.Code;
    }

    QString text;
    QString path;
};

TEST_F(Reload, ReadsTheSameSlotAgainInAnotherEncoding)
{
    LoadBytes("before");
    const int slot = LoadMisread();
    LoadBytes("after");
    state.CurrentBook = 1;
    const LoadResult result = ReloadTextFile(state, slot, host, EncodingChoice::Automatic);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(result.Code, slot);
    EXPECT_EQ(state.Books.Count(), 3);
    EXPECT_EQ(state.CurrentBook, 1);  // reloading does not choose the book
    const Book& book = state.Books[slot];
    EXPECT_EQ(book.Path, path);
    EXPECT_EQ(book.FileName, QStringLiteral("重读.txt"));
    EXPECT_EQ(book.SkinIndex, 4);
    EXPECT_EQ(book.Encoding, TextEncoding::Gb18030);
    EXPECT_EQ(book.ChosenEncoding, EncodingChoice::Automatic);
    EXPECT_EQ(Table(state, slot), LoadGbk(text));
}

TEST_F(Reload, KeepsTheChapterShownWhileItExists)
{
    const int slot = LoadMisread();
    ASSERT_TRUE(ReloadTextFile(state, slot, host, EncodingChoice::Gb18030).Succeeded());
    ASSERT_EQ(state.Books[slot].LastChapter(), 4);
    for (const int shown : {3, -1, 4}) {
        state.Books[slot].ChapterIndex = shown;
        ASSERT_TRUE(ReloadTextFile(state, slot, host, EncodingChoice::Automatic).Succeeded());
        EXPECT_EQ(state.Books[slot].ChapterIndex, shown);
    }
    // Read as UTF-8 the book has one chapter: chapter 4 is gone.
    ASSERT_TRUE(ReloadTextFile(state, slot, host, EncodingChoice::Utf8).Succeeded());
    EXPECT_EQ(state.Books[slot].LastChapter(), 0);
    EXPECT_EQ(state.Books[slot].ChapterIndex, 0);
}

TEST_F(Reload, YieldsAndShowsTheBeginningAsALoadDoes)
{
    const int slot = LoadMisread();
    state.Books[slot].ChapterIndex = 2;
    host.paneEmpty = true;
    std::vector<int> shownIndexes;
    host.onShow = [&] { shownIndexes.push_back(state.Current().ChapterIndex); };
    host.yields = 0;
    const LoadResult result =
        ReloadTextFile(state, slot, host, EncodingChoice::Gb18030, {3, std::chrono::nanoseconds(0)});
    ASSERT_TRUE(result.Succeeded());
    EXPECT_GT(host.yields, 0);
    // Chapter 0 was shown while chapter 1 was under way and the pane was
    // empty, as in a load; afterwards the book is back at chapter 2.
    ASSERT_FALSE(shownIndexes.empty());
    EXPECT_EQ(shownIndexes.front(), 0);
    EXPECT_EQ(state.Books[slot].ChapterIndex, 2);

    host.onYield = [] { return false; };
    EXPECT_EQ(ReloadTextFile(state, slot, host, EncodingChoice::Gb18030, {3, std::chrono::nanoseconds(0)}).error,
              LoadError::Interrupted);
}

TEST_F(Reload, AFileNoLongerThereLeavesTheBookAsItWas)
{
    const int slot = LoadMisread();
    const std::vector<Chapter> before = Table(state, slot);
    state.Books[slot].ChapterIndex = -1;
    ASSERT_TRUE(QFile::remove(path));
    const LoadResult result = ReloadTextFile(state, slot, host, EncodingChoice::Gb18030);
    EXPECT_EQ(result.Message, QStringLiteral("找不到该文件"));
    EXPECT_EQ(result.Code, 1);
    EXPECT_EQ(Table(state, slot), before);
    EXPECT_EQ(state.Books[slot].ChapterIndex, -1);
    EXPECT_EQ(state.Books[slot].Encoding, TextEncoding::Utf8);
    // No book in that slot at all.
    EXPECT_EQ(ReloadTextFile(state, 0, host, EncodingChoice::Gb18030).Message, QStringLiteral("找不到该文件"));
    EXPECT_EQ(ReloadTextFile(state, slot + 1, host, EncodingChoice::Gb18030).Message, QStringLiteral("找不到该文件"));
}

}  // namespace
