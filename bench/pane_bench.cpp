// The reading pane on the chapters that froze the old text box, and the
// whole reader opening, paging and closing the books that hold them.
//
//   READER_BIG_BOOK_DIR=/tmp/bigbooks build/bench/pane_bench
//   READER_BIG_BOOK_DIR=/tmp/bigbooks build/bench/pane_bench --benchmark_filter='Reader/cjk'
//
// Books, made on first use in READER_BIG_BOOK_DIR (else the temp folder):
//   nul    reader-nul-line-1m.txt      one line of 1 MiB of NUL bytes
//   a      reader-a-line-1m.txt        one line of 1 MiB of "a"
//   short  reader-short-lines-12m.txt  3,000,000 lines "嗯" CR LF in GBK, no heading
//   cjk    reader-cjk-line-100m.txt    100 MiB of novel text in GBK without a line end
//   big    reader-big-100.txt          the normal 100 MB book of make_big.py (4,248 chapters)
//   huge   reader-cjk-line-1g.txt      the cjk line ten times: 1 GiB without a line end (Reader/ only)
//   lines  reader-short-lines-54m.txt  3,000,000 lines of 4 to 12 characters in GBK, no heading
//   lf     reader-lf-256m.txt          256 MiB of line feeds: one chapter of empty lines
//
// Pane/...: the pane's own share, on the real window with the "言情" skin:
// setting the chapter and painting it, the same chapter again, a page
// down, a jump anywhere (the scroll bar dragged), and the memory the pane
// adds on top of the chapter text.
// Reader/...: the whole reader on the book: open, ten chapter steps (each
// shows "本书无目录" on books without headings, answered at once), close;
// with the longest time the event loop was kept from running and the peak
// memory of the process during the run (peak_MiB), and how much of it the
// book added to the window showing the help (book_MiB). exit_ms is the freeing of the books
// that follows, after the event loop has ended, as in the program. Run one book per process for the
// peak memory of that book alone.

#include "big_book.h"
#include "core/books/reader_state.h"
#include "offscreen_main.h"
#include "silent_prompter.h"
#include "support/open_book.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr qint64 kMiB = 1024 * 1024;

QString BookFolder()
{
    return qEnvironmentVariableIsSet("READER_BIG_BOOK_DIR") ? qEnvironmentVariable("READER_BIG_BOOK_DIR")
                                                            : QDir::tempPath();
}

// Writes `piece` again and again until the file holds at least `bytes`.
QString RepeatedBook(const QString& name, const QByteArray& piece, qint64 bytes)
{
    const QString path = QDir(BookFolder()).filePath(name);
    if (QFileInfo(path).size() >= bytes)
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path;
    for (qint64 written = 0; written < bytes; written += piece.size())
        file.write(piece);
    return path;
}

QString BookPath(const std::string& kind)
{
    if (kind == "nul")
        return RepeatedBook(QStringLiteral("reader-nul-line-1m.txt"), QByteArray(kMiB, '\0'), kMiB);
    if (kind == "a")
        return RepeatedBook(QStringLiteral("reader-a-line-1m.txt"), QByteArray(kMiB, 'a'), kMiB);
    if (kind == "short")  // 嗯 in GBK, CR LF: four bytes a line
        return RepeatedBook(QStringLiteral("reader-short-lines-12m.txt"), QByteArray("\xe0\xc5\r\n").repeated(1000),
                            3'000'000 * 4);
    if (kind == "lines") {
        // 灵气修炼突破江湖 in GBK, cut to lines of 4 to 12 characters.
        const QByteArray words("\xc1\xe9\xc6\xf8\xd0\xde\xc1\xb6\xcd\xbb\xc6\xc6\xbd\xad\xba\xfe");
        QByteArray piece;
        for (int i = 0; i < 1000; ++i)
            piece += words.repeated(2).mid((i % 8) * 2, (4 + i % 9) * 2) + "\r\n";
        return RepeatedBook(QStringLiteral("reader-short-lines-54m.txt"), piece, 3000 * piece.size());
    }
    if (kind == "lf")
        return RepeatedBook(QStringLiteral("reader-lf-256m.txt"), QByteArray(kMiB, '\n'), 256 * kMiB);
    if (kind == "huge") {
        QFile line(BookPath("cjk"));
        if (!line.open(QIODevice::ReadOnly))
            return {};
        return RepeatedBook(QStringLiteral("reader-cjk-line-1g.txt"), line.readAll(), 10 * line.size());
    }
    if (kind == "cjk") {
        QFile novel(QStringLiteral(READER_CORPUS_DIR "/xiyouji.gbk.txt"));
        if (!novel.open(QIODevice::ReadOnly))
            return {};
        // GBK never uses CR or LF inside a character, so dropping them keeps it whole.
        QByteArray text = novel.readAll();
        text.replace("\r\n", "");
        return RepeatedBook(QStringLiteral("reader-cjk-line-100m.txt"), text, 100 * kMiB);
    }
    return BigBook(100);
}

qint64 ProcStatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::string(field).size()));
    }
    return 0;
}

// Memory handed out by malloc and not yet freed: unlike the resident size,
// it does not keep what was freed earlier.
double AllocatedMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / kMiB;
}

// The peak is counted afresh from here (Linux: "5" to clear_refs).
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double PeakMiB()
{
    return static_cast<double>(ProcStatusKiB("VmHWM:")) / 1024.0;
}

// The longest time between two turns of the event loop while it watches.
class LoopWatch : public QObject {
public:
    void Start()
    {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_ = startTimer(1, Qt::PreciseTimer);
    }
    // Milliseconds; lets the loop run once more to count the last stretch.
    double Stop()
    {
        QCoreApplication::processEvents();
        timerEvent(nullptr);
        killTimer(timer_);
        return static_cast<double>(longest_) / 1e6;
    }

protected:
    void timerEvent(QTimerEvent*) override
    {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

private:
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    int timer_ = 0;
};

// A program folder with the shipped skins and pictures; book.ini goes here.
struct ProgramFolder {
    ProgramFolder()
    {
        for (const QString& sub : {QStringLiteral("Skin"), QStringLiteral("SImage")}) {
            QDir(folder.path()).mkpath(sub);
            const QDir from(QStringLiteral(READER_DATA_DIR "/") + sub);
            for (const QString& name : from.entryList(QDir::Files))
                QFile::copy(from.filePath(name), QDir(folder.path()).filePath(sub + u'/' + name));
        }
    }
    QTemporaryDir folder;
};

// The reader as a user has it: shipped skins, "言情" chosen, window shown
// with the help, as at start.
struct Reader {
    Reader()
    {
        window = std::make_unique<MainWindow>(state, prompter, ReaderFolders::Portable(program.folder.path()));
        LoadSkins(*window);
        for (int i = 1; i <= state.Skins.Count(); ++i) {
            if (state.Skins[i].Name == QStringLiteral("言情"))
                state.CurrentSkin = static_cast<std::uint8_t>(i);
        }
        window->show();
        // As the program starts: the help in the skin's look, so fonts and
        // pictures the window needs anyway are loaded before a book opens.
        window->ShowHelp();
        QCoreApplication::processEvents();
    }
    ProgramFolder program;
    ReaderState state;
    SilentPrompter prompter;
    std::unique_ptr<MainWindow> window;
};

// One reader at a time with one book open, kept between benchmarks of the
// same book.
struct OpenedBook {
    std::string kind;
    std::unique_ptr<Reader> reader;
    QString chapter;  // the longest chapter of the book
};

OpenedBook& Opened(const std::string& kind)
{
    static OpenedBook opened;
    if (opened.kind != kind) {
        opened = OpenedBook();
        opened.kind = kind;
        if (kind.empty())
            return opened;
        opened.reader = std::make_unique<Reader>();
        OpenBook(*opened.reader->window, BookPath(kind));
        const Book& book = opened.reader->state.Current();
        for (const QString& text : book.ChapterTexts) {
            if (text.size() > opened.chapter.size())
                opened.chapter = text;
        }
    }
    return opened;
}

void Paint(ReadingPane& pane)
{
    pane.viewport()->repaint();
}

void PressKey(QWidget& widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

const char* const kBooks[] = {"nul", "a", "short", "lines", "lf", "cjk", "big"};

void PaneSetChapter(benchmark::State& state, const std::string& kind)
{
    OpenedBook& opened = Opened(kind);
    ReadingPane& pane = opened.reader->window->Pane();
    qint64 setting = 0, painting = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        state.PauseTiming();
        pane.SetText(QString());
        Paint(pane);
        state.ResumeTiming();
        clock.start();
        pane.SetText(opened.chapter);  // the index, and the first and last page laid out
        setting += clock.nsecsElapsed();
        clock.start();
        Paint(pane);
        painting += clock.nsecsElapsed();
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["set_text_ms"] = static_cast<double>(setting) / 1e6 / iterations;
    state.counters["paint_ms"] = static_cast<double>(painting) / 1e6 / iterations;
    state.counters["chapter_chars"] = static_cast<double>(opened.chapter.size());
}

void PaneSameChapterAgain(benchmark::State& state, const std::string& kind)
{
    OpenedBook& opened = Opened(kind);
    ReadingPane& pane = opened.reader->window->Pane();
    pane.SetText(opened.chapter);
    const qsizetype laidOut = pane.CharactersLaidOut();
    for (auto _ : state) {
        pane.SetText(opened.chapter);
        pane.SetSelStart(1);
        Paint(pane);
    }
    state.counters["characters_laid_out"] = static_cast<double>(pane.CharactersLaidOut() - laidOut);
}

void PanePageDown(benchmark::State& state, const std::string& kind)
{
    OpenedBook& opened = Opened(kind);
    ReadingPane& pane = opened.reader->window->Pane();
    pane.SetText(opened.chapter);
    for (auto _ : state) {
        const qsizetype before = pane.FirstVisibleOffset();
        PressKey(pane, Qt::Key_PageDown);
        Paint(pane);
        if (pane.FirstVisibleOffset() == before)
            pane.SetSelStart(1);  // at the end: back to the top
    }
}

// The scroll bar dragged anywhere: a view that starts deep inside the text.
void PaneJump(benchmark::State& state, const std::string& kind)
{
    OpenedBook& opened = Opened(kind);
    ReadingPane& pane = opened.reader->window->Pane();
    pane.SetText(opened.chapter);
    qsizetype step = 0;
    for (auto _ : state) {
        step = (step + 7919) % 10007;
        pane.ScrollToOffset(opened.chapter.size() * step / 10007);
        Paint(pane);
    }
}

// Memory the pane adds on top of the chapter text it shares with the book:
// its index and the layouts kept after paging through twenty screens.
void PaneMemory(benchmark::State& state, const std::string& kind)
{
    OpenedBook& opened = Opened(kind);
    ReadingPane& pane = opened.reader->window->Pane();
    double added = 0;
    for (auto _ : state) {
        pane.SetText(QString());
        Paint(pane);
        const double before = AllocatedMiB();
        pane.SetText(opened.chapter);
        for (int i = 0; i < 20; ++i) {
            PressKey(pane, Qt::Key_PageDown);
            Paint(pane);
        }
        added = AllocatedMiB() - before;
    }
    state.counters["pane_added_MiB"] = added;
    state.counters["chapter_MiB"] = static_cast<double>(opened.chapter.size()) * 2 / kMiB;
}

void WholeReader(benchmark::State& state, const std::string& kind)
{
    const QString path = BookPath(kind);
    Opened("");  // no other book is held meanwhile
    double open = 0, steps = 0, close = 0, exit = 0, longest = 0, peak = 0, window = 0;
    for (auto _ : state) {
        ResetPeakMemory();
        auto reader = std::make_unique<Reader>();
        window = static_cast<double>(ProcStatusKiB("VmRSS:")) / 1024.0;
        LoopWatch watch;
        QElapsedTimer clock;
        watch.Start();
        clock.start();
        OpenBook(*reader->window, path);
        QCoreApplication::processEvents();
        open = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        for (int i = 0; i < 10; ++i) {
            reader->window->NextChapter();
            reader->window->Pane().SetSelStart(1);
            QCoreApplication::processEvents();
        }
        steps = static_cast<double>(clock.nsecsElapsed()) / 1e7;
        clock.restart();
        reader->window->close();
        QCoreApplication::processEvents();
        close = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        longest = watch.Stop();
        peak = PeakMiB();
        // The program frees its books after its event loop has ended.
        clock.restart();
        reader.reset();
        exit = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["open_ms"] = open;
    state.counters["step_ms"] = steps;
    state.counters["close_ms"] = close;
    state.counters["exit_ms"] = exit;
    state.counters["longest_block_ms"] = longest;
    state.counters["peak_MiB"] = peak;
    state.counters["book_MiB"] = peak - window;  // the peak less the window with the help, before the book
    state.counters["file_MiB"] = static_cast<double>(QFileInfo(path).size()) / kMiB;
}

void Register()
{
    for (const char* kind : kBooks) {
        const std::string book = kind;
        benchmark::RegisterBenchmark(("Pane/SetChapter/" + book).c_str(), PaneSetChapter, book)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Pane/SameChapterAgain/" + book).c_str(), PaneSameChapterAgain, book)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Pane/PageDown/" + book).c_str(), PanePageDown, book)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Pane/Jump/" + book).c_str(), PaneJump, book)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Pane/Memory/" + book).c_str(), PaneMemory, book)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    for (const char* kind : {"nul", "a", "short", "lines", "lf", "cjk", "big", "huge"}) {
        const std::string book = kind;
        benchmark::RegisterBenchmark(("Reader/" + book).c_str(), WholeReader, book)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv, Register);
}
