// Speed of the text core on real and large books.
//
//   build/bench/core_bench                     recogniser, corpus loads
//   build/bench/core_bench --benchmark_filter=Big   the 100 MB book against iconv
//   build/bench/core_bench --benchmark_filter=Script   繁简转换 of a 50,000-character chapter
//
// The 100 MB book is made by bench/make_big.py on first use
// (in the folder named by READER_BIG_BOOK_DIR, else the system temp folder).

#include "big_book.h"
#include "core/books/book_lines.h"
#include "core/books/book_survey.h"
#include "core/books/reader_state.h"
#include "core/books/text_loader.h"
#include "core/text/chapter_heading.h"
#include "core/text/line_reader.h"
#include "core/text/rule_survey.h"
#include "core/text/script_converter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <vector>

namespace {

const char* const kCorpus = READER_CORPUS_DIR;

class NoWindow : public LoaderHost {
public:
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override { return true; }
};

std::vector<QString> CorpusLines()
{
    std::vector<QString> lines;
    for (const char* name : {"xiyouji", "hongloumeng", "shuihuzhuan", "rulinwaishi"}) {
        for (const QString& line : ReadTextLines(QString("%1/%2.utf8.txt").arg(kCorpus, name)).value_or(QStringList()))
            lines.push_back(line);
    }
    return lines;
}

void Recogniser(benchmark::State& state)
{
    const std::vector<QString> lines = CorpusLines();
    int64_t headings = 0;
    for (auto _ : state) {
        for (const QString& original : lines) {
            QString line = original;
            headings += IsChapterHeading(line);
        }
    }
    benchmark::DoNotOptimize(headings);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
    state.SetLabel("items = lines");
}
BENCHMARK(Recogniser)->Unit(benchmark::kMillisecond);

void LoadBook(benchmark::State& state, const QString& path, const LoadTuning& tuning = {})
{
    const qint64 bytes = QFileInfo(path).size();
    int chapters = 0;
    for (auto _ : state) {
        ReaderState reader;
        NoWindow host;
        const LoadResult result = LoadTextFile(reader, path, host, EncodingChoice::Automatic, tuning);
        if (!result.Succeeded()) {
            state.SkipWithError("load failed");
            return;
        }
        chapters = reader.Books[result.Code].LastChapter() + 1;
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["chapters"] = chapters;
}

void LoadCorpusBook(benchmark::State& state)
{
    LoadBook(state, QString(kCorpus) + "/shuihuzhuan.gbk.txt");
}
BENCHMARK(LoadCorpusBook)->Unit(benchmark::kMillisecond);

void LoadBig100(benchmark::State& state)
{
    LoadBook(state, BigBook(100));
}
BENCHMARK(LoadBig100)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// The same load with the survey of the heading rules that every open of a
// book without a chosen rule makes: what finding a better rule costs.
void LoadBig100Surveyed(benchmark::State& state)
{
    LoadTuning tuning;
    tuning.surveyRules = true;
    LoadBook(state, BigBook(100), tuning);
}
BENCHMARK(LoadBig100Surveyed)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// The 100 MB book split by the rule its survey offers, as 应用 reads it.
void LoadBig100ByRule(benchmark::State& state)
{
    LoadTuning tuning;
    const std::optional<HeadingRule> rule = FindSurveyedRule(u"第N章（数字不限长短）");
    tuning.rule = &*rule;
    LoadBook(state, BigBook(100), tuning);
}
BENCHMARK(LoadBig100ByRule)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// The rules dialog on a 10 MB book: every rule's count of headings (the
// book read once with the survey along), and the preview of one rule (the
// book read by it and summed up).
void CountRules10(benchmark::State& state)
{
    RuleSurvey survey;
    LoadTuning tuning;
    tuning.survey = &survey;
    LoadBook(state, BigBook(10), tuning);
    benchmark::DoNotOptimize(survey.Tallies());
}
BENCHMARK(CountRules10)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

void PreviewRule10(benchmark::State& state)
{
    const QString path = BigBook(10);
    const std::optional<HeadingRule> rule = FindSurveyedRule(u"第N章（数字不限长短）＋命名章节");
    LoadTuning tuning;
    tuning.rule = &*rule;
    for (auto _ : state) {
        ReaderState reader;
        NoWindow host;
        const LoadResult result = LoadTextFile(reader, path, host, EncodingChoice::Automatic, tuning);
        benchmark::DoNotOptimize(PreviewOf(reader.Books[result.Code], rule->name));
    }
}
BENCHMARK(PreviewRule10)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// 应用 on the 100 MB book: read again by the rule, and the place in the
// middle of the book found again by its line.
void ResplitBig100AtPlace(benchmark::State& state)
{
    ReaderState reader;
    NoWindow host;
    const int slot = LoadTextFile(reader, BigBook(100), host).Code;
    const std::optional<HeadingRule> rule = FindSurveyedRule(u"第N章（数字不限长短）");
    LoadTuning tuning;
    tuning.rule = &*rule;
    const Book& book = reader.Books[slot];
    const ReadingPlace middle{book.LastChapter() / 2, 100};
    ReadingPlace found;
    for (auto _ : state) {
        const LinePlace at = LineOfPlace(reader.Books[slot], middle);
        ReloadTextFile(reader, slot, host, EncodingChoice::Automatic, tuning);
        found = PlaceOfLine(reader.Books[slot], at);
    }
    state.counters["chapters"] = reader.Books[slot].LastChapter() + 1;
    state.counters["chapter_found"] = found.chapter;
}
BENCHMARK(ResplitBig100AtPlace)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly();

// What decoding alone costs with glibc's converter, reading the same bytes
// in the same blocks: the yardstick for the load above.
void ReadAndIconvBig100(benchmark::State& state)
{
    const QString path = BigBook(100);
    const qint64 bytes = QFileInfo(path).size();
    std::vector<char> in(TextFileReader::kBlockSize), out(TextFileReader::kBlockSize * 2);
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        iconv_t cd = iconv_open("UTF-16LE", "GB18030");
        size_t carried = 0;
        qint64 got;
        while ((got = file.read(in.data() + carried, in.size() - carried)) > 0) {
            char* src = in.data();
            size_t left = carried + got;
            char* dst = out.data();
            size_t room = out.size();
            iconv(cd, &src, &left, &dst, &room);  // stops at a character cut by the block end
            std::copy(src, src + left, in.data());
            carried = left;
            benchmark::DoNotOptimize(out.data());
        }
        iconv_close(cd);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(ReadAndIconvBig100)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// 繁简转换 of a long chapter as it is shown: 50,000 characters of a novel in
// traditional characters to simplified ones, and of one in simplified
// characters to traditional ones. The tables are read before the clock runs.
void ConvertScript(benchmark::State& state, const char* book, ScriptChoice choice)
{
    const QStringList lines = ReadTextLines(QString("%1/%2.utf8.txt").arg(kCorpus, book)).value_or(QStringList());
    QString chapter = lines.join(QStringLiteral("\r\n")).left(50000);
    const ScriptConverter converter(choice);
    if (!converter.Ready() || chapter.size() < 50000) {
        state.SkipWithError("no tables or no text");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.Convert(chapter));
    state.SetItemsProcessed(state.iterations() * chapter.size());
    state.SetLabel("items = characters");
}
void ScriptToSimplified50k(benchmark::State& state)
{
    ConvertScript(state, "rulinwaishi", ScriptChoice::ToSimplified);
}
BENCHMARK(ScriptToSimplified50k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
void ScriptToTraditional50k(benchmark::State& state)
{
    ConvertScript(state, "hongloumeng", ScriptChoice::ToTraditional);
}
BENCHMARK(ScriptToTraditional50k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
