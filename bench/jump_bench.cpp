// Reaching a chapter of the 4,248-chapter book, offscreen: opening the
// chapter menu, opening the jump dialog and each keystroke in its filter.
// The goal for the dialog is under 50 ms a step.
//
//   build/bench/jump_bench
//
// The 100 MB book is made by bench/make_big.py on first use (in
// READER_BIG_BOOK_DIR, else the system temp folder).

#include "big_book.h"
#include "core/books/reader_state.h"
#include "core/reading/reader_view.h"
#include "offscreen_main.h"
#include "silent_prompter.h"
#include "support/open_book.h"
#include "ui/dialogs/jump_dialog.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/chapter_list_model.h"
#include "ui/widgets/menu_item_array.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// The reader with the shipped skins and the big book open at a chapter far
// down its list.
struct OpenReader {
    OpenReader()
    {
        window =
            std::make_unique<MainWindow>(state, prompter, ReaderFolders::Portable(QStringLiteral(READER_DATA_DIR)));
        LoadSkins(*window);
        window->show();
        OpenBook(*window, BigBook(100));
        state.Current().ChapterIndex = state.Current().LastChapter() * 3 / 4;
        window->Reading().BuildChapterMenu();
        window->Reading().ShowChapter();
        menu = window->findChild<QMenu*>(QStringLiteral("chaptersMenu"));
    }
    ReaderState state;
    SilentPrompter prompter;
    std::unique_ptr<MainWindow> window;
    QMenu* menu = nullptr;
};

OpenReader& Reader()
{
    static OpenReader reader;
    return reader;
}

// Opens the chapter menu and draws it, as the user sees it.
void OpenMenu(OpenReader& reader)
{
    reader.menu->popup(QPoint(0, 0));
    reader.menu->repaint();
}

void CheckCurrentSelected(benchmark::State& state, OpenReader& reader)
{
    if (reader.menu->activeAction() != reader.window->ChapterItems().Action(reader.state.Current().ChapterIndex))
        state.SkipWithError("the menu did not open at the current chapter");
}

// 所有章节 the first time after the book changed: its actions are made
// from the captions, laid out, and the current chapter scrolled to.
void ChapterMenuFirstOpen(benchmark::State& state)
{
    OpenReader& reader = Reader();
    for (auto _ : state) {
        state.PauseTiming();
        reader.menu->hide();
        // The next opening makes every action anew, as after a book change.
        reader.window->ChapterItems().UnloadAll();
        reader.window->ListChapters(reader.state.CurrentBook, true);
        state.ResumeTiming();
        OpenMenu(reader);
    }
    CheckCurrentSelected(state, reader);
    reader.menu->hide();
    state.counters["items"] = reader.window->ChapterItems().Count();
}
BENCHMARK(ChapterMenuFirstOpen)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly();

// 所有章节 again in the same book: the actions are kept.
void ChapterMenuReopen(benchmark::State& state)
{
    OpenReader& reader = Reader();
    for (auto _ : state) {
        state.PauseTiming();
        reader.menu->hide();
        state.ResumeTiming();
        OpenMenu(reader);
    }
    CheckCurrentSelected(state, reader);
    reader.menu->hide();
}
BENCHMARK(ChapterMenuReopen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

JumpDialog& Dialog(OpenReader& reader)
{
    if (!reader.window->JumpDialogIfMade())
        reader.window->ShowJumpDialog();
    return *reader.window->JumpDialogIfMade();
}

// Checks what an opened dialog shows: every chapter, the current one selected.
void CheckOpened(benchmark::State& state, OpenReader& reader, const JumpDialog& dialog)
{
    if (!dialog.isVisible() || dialog.Chapters().rowCount() != reader.state.Current().LastChapter() + 1
        || dialog.SelectedChapter() != reader.state.Current().ChapterIndex)
        state.SkipWithError("the dialog did not open at the current chapter with every chapter listed");
}

// Ctrl+G the first time: the dialog made, every chapter listed, the
// current one selected, drawn.
void JumpDialogFirstOpen(benchmark::State& state)
{
    OpenReader& reader = Reader();
    for (auto _ : state) {
        auto* dialog = new JumpDialog(reader.window->Reading(), reader.window.get());
        dialog->ShowAfresh();
        dialog->repaint();
        state.PauseTiming();
        CheckOpened(state, reader, *dialog);
        delete dialog;
        state.ResumeTiming();
    }
}
BENCHMARK(JumpDialogFirstOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// Ctrl+G again: the dialog is kept and opens afresh.
void JumpDialogOpen(benchmark::State& state)
{
    OpenReader& reader = Reader();
    JumpDialog& dialog = Dialog(reader);
    for (auto _ : state) {
        state.PauseTiming();
        dialog.hide();
        state.ResumeTiming();
        reader.window->ShowJumpDialog();
        dialog.repaint();
    }
    CheckOpened(state, reader, dialog);
    dialog.hide();
}
BENCHMARK(JumpDialogOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// One keystroke in the filter box, the list narrowed and drawn again. The
// keys type `text` one character at a time and then take it back with
// Backspace, so every kind of step is in the mix.
void Keystrokes(benchmark::State& state, const QString& text)
{
    OpenReader& reader = Reader();
    JumpDialog& dialog = Dialog(reader);
    reader.window->ShowJumpDialog();
    // A key with text types it; an empty text is Backspace.
    QStringList keys;
    for (const QChar c : text)
        keys.append(QString(c));
    for (qsizetype i = 0; i < text.size(); ++i)
        keys.append(QString());
    qsizetype next = 0;
    int fewest = dialog.Chapters().rowCount();
    for (auto _ : state) {
        const QString& typed = keys[next];
        next = (next + 1) % keys.size();
        QKeyEvent key(QEvent::KeyPress, typed.isEmpty() ? Qt::Key_Backspace : Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(&dialog.FilterText(), &key);
        dialog.repaint();
        fewest = std::min(fewest, dialog.Chapters().rowCount());
    }
    // Every run long enough to type the whole text narrows the list.
    if (state.iterations() >= keys.size() && fewest > reader.state.Current().LastChapter() / 2)
        state.SkipWithError("typing did not narrow the list");
    state.counters["fewest rows"] = fewest;
    dialog.hide();
}

// Title text: 第 lists nearly every chapter, 第一百 far fewer.
void JumpDialogKeystrokeTitle(benchmark::State& state)
{
    Keystrokes(state, QStringLiteral("第一百"));
}
BENCHMARK(JumpDialogKeystrokeTitle)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// A chapter number: 3, 30, 300, 3000.
void JumpDialogKeystrokeNumber(benchmark::State& state)
{
    Keystrokes(state, QStringLiteral("3000"));
}
BENCHMARK(JumpDialogKeystrokeNumber)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
