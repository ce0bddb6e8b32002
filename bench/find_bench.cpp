// Speed of finding every hit.
//
//   build/bench/find_bench --benchmark_filter=FindAllBig100   全部 in the 100 MB book
//   build/bench/find_bench --benchmark_filter=FindPanelBig100 the same through the panel
//   build/bench/find_bench --benchmark_filter=FindInLibrary   书架: 1 GB of book files
//
// FindAllBig100 reports the time to the first batch of hits (first_ms) and
// to the last (the iteration's time); FindPanelBig100 the same as the
// panel of the real window (offscreen) lists them, worker thread and all. FindInLibrary reads READER_LIBRARY_MB
// megabytes (1024 unless set) of GBK books, copies of the corpus, made in
// READER_BIG_BOOK_DIR (else the system temp folder) on first use; their
// UTF-8 twins lie beside them, for `grep -c -r` to be timed by hand on the
// same text.

#include "big_book.h"
#include "core/books/find_all.h"
#include "core/books/text_loader.h"
#include "offscreen_main.h"
#include "silent_prompter.h"
#include "support/open_book.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/main_window/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

#include <benchmark/benchmark.h>

#include <atomic>

namespace {

class NoWindow : public LoaderHost {
public:
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override { return true; }
};

// The 100 MB book, read once, as find-all's copy of it.
const FindBook& Big100()
{
    static const FindBook book = [] {
        ReaderState reader;
        NoWindow host;
        const LoadResult result = LoadTextFile(reader, BigBook(100), host);
        const Book& loaded = reader.Books[result.Code];
        FindBook copy{1, {}, loaded.ChapterTexts, ScriptChoice::None};
        for (const ChapterEntry& entry : loaded.Chapters)
            copy.titles.push_back(entry.Title);
        return copy;
    }();
    return book;
}

void FindAllBig100(benchmark::State& state, const QString& word)
{
    const FindAllInput input{word, SearchScope::Book, {1, 0, 0}, {}, {Big100()}};
    const std::atomic<bool> stop{false};
    double firstMs = 0;
    qsizetype hits = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        bool first = true;
        hits = 0;
        FindAll(
            input,
            [&](const QList<FoundHit>& batch) {
                if (first)
                    firstMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
                first = false;
                hits += batch.size();
            },
            stop);
    }
    state.counters["first_ms"] = firstMs / static_cast<double>(state.iterations());
    state.counters["hits"] = static_cast<double>(hits);
    state.counters["chapters"] = static_cast<double>(input.books.front().texts.size());
}
// 行者 is common, 宝玉 in one book of the corpus in four, 龙城 nowhere.
BENCHMARK_CAPTURE(FindAllBig100, common, QStringLiteral("行者"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(FindAllBig100, rarer, QStringLiteral("宝玉"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(FindAllBig100, absent, QStringLiteral("龙城"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// 全部 pressed in the panel of a window reading the 100 MB book, until the
// first hits are listed and until the search has ended.
void FindPanelBig100(benchmark::State& state)
{
    ReaderState reader;
    SilentPrompter prompter;
    MainWindow window(reader, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
    window.show();
    OpenBook(window, BigBook(100));
    window.ShowFindDialog();
    FindDialog& panel = *window.FindDialogIfMade();
    panel.BookScope().click();
    panel.FindText().setText(QStringLiteral("行者"));
    const auto waitWhile = [](const auto& busy) {
        while (busy())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    };
    double firstMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        panel.FindAll();
        waitWhile([&] { return panel.Hits().isEmpty() && panel.Searching(); });
        firstMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        waitWhile([&] { return panel.Searching(); });
    }
    state.counters["first_ms"] = firstMs / static_cast<double>(state.iterations());
    state.counters["hits"] = static_cast<double>(panel.Hits().size());
}
BENCHMARK(FindPanelBig100)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly();

// A library of copies of the corpus's four novels, GBK, and their UTF-8
// twins in a folder beside it.
QList<LibraryFile> Library(qint64 megabytes)
{
    const QString base = qEnvironmentVariableIsSet("READER_BIG_BOOK_DIR") ? qEnvironmentVariable("READER_BIG_BOOK_DIR")
                                                                          : QDir::tempPath();
    const QDir gbk(QDir(base).filePath(QStringLiteral("reader-library-%1").arg(megabytes)));
    const QDir utf8(QDir(base).filePath(QStringLiteral("reader-library-%1-utf8").arg(megabytes)));
    QList<LibraryFile> files;
    qint64 bytes = 0;
    for (int copy = 0; bytes < megabytes * 1024 * 1024; ++copy) {
        for (const char* name : {"xiyouji", "hongloumeng", "shuihuzhuan", "rulinwaishi"}) {
            const QString file =
                QStringLiteral("%1-%2.txt").arg(QString::fromLatin1(name)).arg(copy, 4, 10, QChar(u'0'));
            const QString path = gbk.filePath(file);
            if (!QFileInfo::exists(path)) {
                QDir().mkpath(gbk.path());
                QDir().mkpath(utf8.path());
                QFile::copy(QStringLiteral(READER_CORPUS_DIR "/%1.gbk.txt").arg(QString::fromLatin1(name)), path);
                QFile::copy(QStringLiteral(READER_CORPUS_DIR "/%1.utf8.txt").arg(QString::fromLatin1(name)),
                            utf8.filePath(file));
            }
            files.append({path, EncodingChoice::Automatic});
            bytes += QFileInfo(path).size();
        }
    }
    return files;
}

void FindInLibrary(benchmark::State& state, const QString& word)
{
    const qint64 megabytes =
        qEnvironmentVariableIsSet("READER_LIBRARY_MB") ? qEnvironmentVariableIntValue("READER_LIBRARY_MB") : 1024;
    const QList<LibraryFile> files = Library(megabytes);
    const std::atomic<bool> stop{false};
    qsizetype hits = 0;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        hits = 0;
        FindInFiles(
            files, word, [&](const QList<FoundHit>& batch) { hits += batch.size(); },
            [&](const FindProgress& progress) { bytes = progress.bytes; }, stop);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["hits"] = static_cast<double>(hits);
}
// 行者 is in two of the four novels, 宝玉 in one (the longest), 龙城 in
// none: books without the word are passed over without being split into
// chapters.
BENCHMARK_CAPTURE(FindInLibrary, common, QStringLiteral("行者"))
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(FindInLibrary, rarer, QStringLiteral("宝玉"))
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(FindInLibrary, absent, QStringLiteral("龙城"))
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
