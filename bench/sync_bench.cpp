// Syncing a library of 10,000 books, all of them read and 1,000 with a
// bookmark, through a real WebDAV server (Apache's mod_dav on 127.0.0.1):
// the first round (every file's key read, the folder made, the state
// written), a round with nothing changed (as every five minutes), and a
// round that brings one change from another computer. Bytes sent and
// received are counters.
//
//   build/bench/sync_bench

#include "core/library/library_store.h"
#include "core/sync/sync_round.h"
#include "offscreen_main.h"
#include "support/webdav_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kBooks = 10000;

struct Shelf {
    Shelf()
    {
        for (int i = 0; i < kBooks; ++i) {
            const QString path = QDir(books.path()).filePath(QStringLiteral("分类%1/第%2部.txt").arg(i % 40).arg(i));
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(QStringLiteral("第一章 开端\n第%1部的正文。\n").arg(i).repeated(40).toUtf8());
            paths.append(path);
        }
        LibraryStore store(Pristine());
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-300);
        for (int i = 0; i < kBooks; ++i) {
            store.NoteBook({.path = paths[i],
                            .chapterCount = 1200,
                            .place = {i % 1200, 100},
                            .chapterTitle = QStringLiteral("第%1章 风起云涌").arg(i % 1200 + 1),
                            .progress = (i % 1200) / 1200.0},
                           start.addSecs(i * 60));
            if (i % 10 == 0)
                store.AddBookmark(
                    {.path = paths[i], .place = {i % 1200, 40}, .excerpt = QStringLiteral("他抬头看天。")});
        }
        server.Start();
    }
    QString Pristine() const { return QDir(folder.path()).filePath(QStringLiteral("pristine.sqlite")); }
    // A fresh copy of the library, as one computer's.
    QString Computer(const QString& name) const
    {
        const QString path = QDir(folder.path()).filePath(name + QStringLiteral(".sqlite"));
        QFile::remove(path);
        QFile::copy(Pristine(), path);
        return path;
    }
    SyncJob Job(const QString& library) const
    {
        return {.libraryPath = library,
                .account = {server.Url(), QStringLiteral("reader"), QStringLiteral("secret")},
                .label = QStringLiteral("bench")};
    }
    void EmptyServer() const { QDir(server.Root() + QStringLiteral("/txtreader-library")).removeRecursively(); }

    QTemporaryDir folder;
    QTemporaryDir books;
    QStringList paths;
    WebDavServer server;
};

Shelf& TenThousand()
{
    static Shelf shelf;
    return shelf;
}

void Count(benchmark::State& state, const SyncOutcome& outcome)
{
    if (!outcome.Ok())
        state.SkipWithError(qPrintable(outcome.message));
    state.counters["sent"] = static_cast<double>(outcome.bytesSent);
    state.counters["received"] = static_cast<double>(outcome.bytesReceived);
}

void FirstSync(benchmark::State& state)
{
    Shelf& shelf = TenThousand();
    for (auto _ : state) {
        state.PauseTiming();
        shelf.EmptyServer();
        const QString library = shelf.Computer(QStringLiteral("a"));
        state.ResumeTiming();
        Count(state, SyncLibraryOnce(shelf.Job(library)));
    }
}
BENCHMARK(FirstSync)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();

void NothingChanged(benchmark::State& state)
{
    Shelf& shelf = TenThousand();
    shelf.EmptyServer();
    const QString library = shelf.Computer(QStringLiteral("a"));
    SyncLibraryOnce(shelf.Job(library));
    for (auto _ : state)
        Count(state, SyncLibraryOnce(shelf.Job(library)));
}
BENCHMARK(NothingChanged)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// Another computer read on in one book: its state file (all 10,000 books)
// is read, merged and the change written here.
void OneChangeFromElsewhere(benchmark::State& state)
{
    Shelf& shelf = TenThousand();
    shelf.EmptyServer();
    const QString here = shelf.Computer(QStringLiteral("a"));
    const QString there = shelf.Computer(QStringLiteral("b"));
    SyncLibraryOnce(shelf.Job(here));
    SyncLibraryOnce(shelf.Job(there));
    SyncLibraryOnce(shelf.Job(here));
    int chapter = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            LibraryStore store(there);
            store.NoteBook({.path = shelf.paths[7], .place = {++chapter, 0}}, QDateTime::currentDateTimeUtc());
        }
        SyncLibraryOnce(shelf.Job(there));
        state.ResumeTiming();
        const SyncOutcome outcome = SyncLibraryOnce(shelf.Job(here));
        if (outcome.movedPaths != QStringList{shelf.paths[7]})
            state.SkipWithError("the change did not arrive");
        Count(state, outcome);
    }
}
BENCHMARK(OneChangeFromElsewhere)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
