// Speed of the reader window on a large book, offscreen.
//
//   build/bench/ui_bench
//
// The 100 MB book is made by bench/make_big.py on first use (in
// READER_BIG_BOOK_DIR, else the system temp folder).

#include "big_book.h"
#include "core/books/reader_state.h"
#include "core/books/search_text.h"
#include "core/text/text_decoder.h"
#include "offscreen_main.h"
#include "silent_prompter.h"
#include "support/open_book.h"
#include "ui/dialogs/folder_scan_dialog.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/key_state.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// The reader with the shipped skins and the 100 MB book open, as a user
// would have it after opening the book.
struct OpenReader {
    OpenReader()
    {
        window =
            std::make_unique<MainWindow>(state, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
        window->SetKeyState(&keys);
        LoadSkins(*window);
        for (int i = 1; i <= state.Skins.Count(); ++i) {
            if (state.Skins[i].Name == QStringLiteral("言情"))
                state.CurrentSkin = static_cast<std::uint8_t>(i);
        }
        window->show();
        OpenBook(*window, BigBook(100));
        state.Current().ChapterIndex = 0;
        window->Reading().BuildChapterMenu();
        window->Reading().ShowChapter();
    }
    ReaderState state;
    SilentPrompter prompter;
    KeyState keys;
    std::unique_ptr<MainWindow> window;
};

OpenReader& Reader()
{
    static OpenReader reader;
    return reader;
}

// "下一页": BuildChapterMenu, ShowChapter and ApplySkin on the big book.
void ChapterStep(benchmark::State& state)
{
    OpenReader& reader = Reader();
    const int last = reader.state.Current().LastChapter();
    for (auto _ : state) {
        if (reader.state.Current().ChapterIndex >= last - 1)
            reader.state.Current().ChapterIndex = 0;
        reader.window->NextChapter();
    }
    state.counters["chapters"] = last + 1;
}
BENCHMARK(ChapterStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// Page Down held: one timer tick steps one chapter and puts the caret back.
void ChapterStepWithKeys(benchmark::State& state)
{
    OpenReader& reader = Reader();
    const int last = reader.state.Current().LastChapter();
    reader.keys.SetDown(KeyState::kPageDown, true);
    for (auto _ : state) {
        if (reader.state.Current().ChapterIndex >= last - 1)
            reader.state.Current().ChapterIndex = 0;
        reader.window->PollPageKeys();
    }
    reader.keys.SetDown(KeyState::kPageDown, false);
}
BENCHMARK(ChapterStepWithKeys)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// "主目录": the contents view lists every chapter title.
void ContentsView(benchmark::State& state)
{
    OpenReader& reader = Reader();
    for (auto _ : state) {
        reader.state.Current().ChapterIndex = 0;
        reader.window->ShowContents();
    }
}
BENCHMARK(ContentsView)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// Opening the 100 MB book through the window, splash and early display included.
void OpenBigBook(benchmark::State& state)
{
    const QString path = BigBook(100);
    for (auto _ : state) {
        ReaderState reader;
        SilentPrompter prompter;
        MainWindow window(reader, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
        OpenBook(window, path);
    }
}
BENCHMARK(OpenBigBook)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly();

// The UTF-8 copy of the 100 MB book, made beside it on first use (the
// encoding benchmark makes and uses the same file).
QString BigUtf8Book()
{
    const QString path = QFileInfo(BigBook(100)).dir().filePath(QStringLiteral("reader-big-100.utf8.txt"));
    if (!QFileInfo::exists(path)) {
        QFile gbk(BigBook(100));
        QFile utf8(path + QStringLiteral(".part"));
        if (!gbk.open(QIODevice::ReadOnly) || !utf8.open(QIODevice::WriteOnly)
            || utf8.write(DecodeText(gbk.readAll(), TextEncoding::Gb18030).toUtf8()) < 0 || !utf8.rename(path))
            return QString();
    }
    return path;
}

// The open command in the real window on the 100 MB book, GBK (0) or
// UTF-8 (1): how soon the pane shows the beginning, when the whole book is
// in, and the longest the window's event loop went without turning while
// the book was read (a 1 ms timer's longest gap).
void OpenBigBookFirstText(benchmark::State& state)
{
    const QString path = state.range(0) == 0 ? BigBook(100) : BigUtf8Book();
    double firstText = 0, loaded = 0, longestBlock = 0;
    for (auto _ : state) {
        ReaderState reader;
        SilentPrompter prompter;
        MainWindow window(reader, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
        window.show();
        QElapsedTimer clock;
        qint64 shownAt = -1;
        QObject::connect(&window.Pane(), &ReadingPane::TextChanged, &window, [&] {
            if (shownAt < 0 && window.Pane().Length() > 0)
                shownAt = clock.nsecsElapsed();
        });
        QTimer ticker;
        qint64 lastTick = 0, longest = 0;
        QObject::connect(&ticker, &QTimer::timeout, &window, [&] {
            longest = std::max(longest, clock.nsecsElapsed() - lastTick);
            lastTick = clock.nsecsElapsed();
        });
        ticker.start(1);
        clock.start();
        OpenBook(window, path);
        loaded = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        firstText = static_cast<double>(shownAt) / 1e6;
        longestBlock = std::max(longestBlock, static_cast<double>(longest) / 1e6);
    }
    state.counters["first_text_ms"] = firstText;
    state.counters["loaded_ms"] = loaded;
    state.counters["longest_block_ms"] = longestBlock;
}
BENCHMARK(OpenBigBookFirstText)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A folder of 20 books the size of the corpus novels (copies of them).
QString TwentyBookFolder()
{
    static QTemporaryDir folder;
    static bool filled = false;
    if (!filled) {
        const QStringList novels = QDir(QStringLiteral(READER_CORPUS_DIR)).entryList({QStringLiteral("*.txt")});
        for (int i = 0; i < 20; ++i) {
            const QString novel = novels[i % novels.size()];
            QFile::copy(QDir(QStringLiteral(READER_CORPUS_DIR)).filePath(novel),
                        QDir(folder.path()).filePath(QStringLiteral("%1-%2").arg(i + 1, 2, 10, QChar('0')).arg(novel)));
        }
        filled = true;
    }
    return folder.path();
}

// 文件 → 打开文件夹 → 扫描 over the 20 books, in a fresh window each time.
void FolderScanTwentyBooks(benchmark::State& state)
{
    const QString folder = TwentyBookFolder();
    for (auto _ : state) {
        ReaderState reader;
        SilentPrompter prompter;
        MainWindow window(reader, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
        window.OpenFolder();
        auto* scan = window.FolderScanIfMade();
        scan->SetFolderPath(folder);
        scan->Scan();
        WaitUntilIdle(window);
        if (reader.Books.Count() != 20)
            state.SkipWithError("not every book opened");
    }
}
BENCHMARK(FolderScanTwentyBooks)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();

// The whole search of "所有打开文件" for a word no book holds.
void SearchAllBooksForAMissingWord(benchmark::State& state)
{
    ReaderState reader;
    SilentPrompter prompter;
    MainWindow window(reader, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
    window.OpenFolder();
    auto* scan = window.FolderScanIfMade();
    scan->SetFolderPath(TwentyBookFolder());
    scan->Scan();
    WaitUntilIdle(window);
    for (auto _ : state) {
        const SearchResult result =
            window.Reading().Find(QStringLiteral("电脑手机"), SearchScope::AllBooks, SearchCursor{1, 0, 0});
        if (result.found || result.error != 0)
            state.SkipWithError("the word was found");
    }
}
BENCHMARK(SearchAllBooksForAMissingWord)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
