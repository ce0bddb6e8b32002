// Speed of the library (书架) with 10,000 books: listing, adding a folder
// scan's worth, noting one book, and the window (offscreen).
//
//   build/bench/library_bench

#include "core/library/library_folder.h"
#include "core/library/library_store.h"
#include "offscreen_main.h"
#include "silent_prompter.h"
#include "ui/dialogs/library_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kBooks = 10000;

QList<LibraryBook> Shelf(const QString& batch, int count)
{
    QList<LibraryBook> books;
    books.reserve(count);
    for (int i = 0; i < count; ++i) {
        LibraryBook book;
        book.path = QStringLiteral("/home/读者/小说/%1/分类%2/第%3部 长篇连载小说.txt").arg(batch).arg(i % 40).arg(i);
        book.size = 3'000'000 + i;
        book.chapterCount = 1200;
        books.append(book);
    }
    return books;
}

// A library of 10,000 books, a few hundred of them read, made once.
struct Library {
    Library()
    {
        store = std::make_unique<LibraryStore>(Path());
        store->AddBooks(Shelf(QStringLiteral("书库"), kBooks));
        const QList<LibraryBook> books = store->Books();
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-300);
        for (int i = 0; i < 300; ++i) {
            LibraryBook book = books[i * 31];
            book.place = {i, 100};
            book.chapterTitle = QStringLiteral("第%1章 风起云涌").arg(i + 1);
            book.progress = i / 1200.0;
            store->NoteBook(book, start.addSecs(i * 3600));
        }
    }
    QString Path() const { return QDir(folder.path()).filePath(QStringLiteral("library.sqlite")); }

    QTemporaryDir folder;
    std::unique_ptr<LibraryStore> store;
};

Library& TenThousand()
{
    static Library library;
    return library;
}

void ListBooks(benchmark::State& state)
{
    LibraryStore& store = *TenThousand().store;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.Books());
}
BENCHMARK(ListBooks)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// A folder scan of 10,000 new books into a library of 10,000, each time a
// fresh one.
void AddTenThousandBooks(benchmark::State& state)
{
    const QList<LibraryBook> shelf = Shelf(QStringLiteral("书库"), kBooks);
    const QList<LibraryBook> scan = Shelf(QStringLiteral("新书"), kBooks);
    QTemporaryDir folder;
    int copy = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store =
            std::make_unique<LibraryStore>(QDir(folder.path()).filePath(QStringLiteral("%1.sqlite").arg(copy++)));
        store->AddBooks(shelf);
        state.ResumeTiming();
        int added = 0;
        store->AddBooks(scan, &added);
        if (added != kBooks)
            state.SkipWithError("not all books were added");
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(AddTenThousandBooks)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly();

// 添加文件夹… on a collection of 10,000 book files in 100 folders: the walk
// (sizes, no reading) and the adding, into a fresh library each time.
void AddFolderOfTenThousandBooks(benchmark::State& state)
{
    static QTemporaryDir collection;
    static const bool made = [] {
        for (int i = 0; i < kBooks; ++i) {
            const QString folder = QDir(collection.path()).filePath(QStringLiteral("分类%1").arg(i % 100));
            QDir().mkpath(folder);
            QFile book(QDir(folder).filePath(QStringLiteral("第%1部 长篇连载小说.txt").arg(i)));
            if (!book.open(QIODevice::WriteOnly) || book.write("text\r\n") != 6)
                return false;
        }
        return true;
    }();
    if (!made) {
        state.SkipWithError("could not write the collection");
        return;
    }
    QTemporaryDir folder;
    int copy = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store =
            std::make_unique<LibraryStore>(QDir(folder.path()).filePath(QStringLiteral("%1.sqlite").arg(copy++)));
        state.ResumeTiming();
        int added = 0;
        store->AddBooks(BooksInFolder(collection.path()), &added);
        if (added != kBooks)
            state.SkipWithError("not all books were added");
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(AddFolderOfTenThousandBooks)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A book read on: its place and reading time noted, synced to the disk.
void NoteOneBook(benchmark::State& state)
{
    LibraryStore& store = *TenThousand().store;
    LibraryBook book = *store.Book(Shelf(QStringLiteral("书库"), 1).first().path);
    for (auto _ : state) {
        ++book.place.offset;
        if (!store.NoteBook(book, QDateTime::currentDateTimeUtc()))
            state.SkipWithError("not written");
    }
}
BENCHMARK(NoteOneBook)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// 书架 opened on 10,000 books: made, filled from the library, shown and
// painted once.
void OpenLibraryWindow(benchmark::State& state)
{
    LibraryStore& store = *TenThousand().store;
    SilentPrompter prompter;
    for (auto _ : state) {
        auto window = std::make_unique<LibraryWindow>(store, prompter);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenLibraryWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// One keystroke in the filter of 书架 over 10,000 books, painted: typing
// "1" after "分类" narrows the list, the next one's Backspace widens it.
void FilterKeystroke(benchmark::State& state)
{
    SilentPrompter prompter;
    LibraryWindow window(*TenThousand().store, prompter);
    window.show();
    auto* filter = window.findChild<QLineEdit*>(QStringLiteral("libraryFilter"));
    filter->setText(QStringLiteral("分类"));
    QCoreApplication::processEvents();
    bool typed = false;
    for (auto _ : state) {
        QTest::keyClick(filter, typed ? Qt::Key_Backspace : Qt::Key_1);
        QCoreApplication::processEvents();
        typed = !typed;
    }
}
BENCHMARK(FilterKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
