// The File menu: opening a book from the open dialog or the recent files,
// with its chapter and skin restored from book.ini; handing the book to the
// text editor; the switched-off "save as Cor" command.

#include "core/books/book_settings.h"
#include "core/files/plain_file.h"
#include "core/text/line_reader.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_editor.h"
#include "ui/reading/open_book.h"
#include "ui/reading/reading_place.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kTip = QStringLiteral("提示");

struct RestoreOutcome {
    bool readable = true;   // false ends the open command
    bool hadFile = false;   // book.ini exists
    bool restored = false;  // its line for the book was read back
};

// Restores the chapter and skin book.ini remembers for `path`. A book.ini
// that exists but cannot be read ends the open command.
RestoreOutcome Restore(ReaderView& view, const QString& path)
{
    ReaderState& state = view.State();
    const QString ini = view.Folders().StateFile(QString::fromUtf16(kBookIniName));
    RestoreOutcome outcome;
    outcome.hadFile = IsListedFile(ini);
    if (!outcome.hadFile)
        return outcome;
    const std::optional<QStringList> lines = ReadTextLines(ini, EncodingGuess::Settings);
    if (!lines) {
        outcome.readable = false;
        return outcome;
    }
    RememberedBook remembered;
    // A line that cannot be read back restores nothing; the command goes on.
    if (FindRememberedBook(*lines, path, remembered) != RestoreLookup::Found)
        return outcome;
    outcome.restored = true;
    const bool isBook = state.Books.IsBook(state.CurrentBook);
    if (isBook)
        state.Current().ChapterIndex = remembered.chapterIndex;
    // An empty name is a book that never had a skin; it matches no skin,
    // not even a slot whose file has gone.
    bool restoredSkin = false;
    for (int i = 1; i <= state.Skins.Count() && i <= 255 && !remembered.skinName.isEmpty(); ++i) {
        if (state.Skins[i].Name == remembered.skinName) {
            state.CurrentSkin = static_cast<std::uint8_t>(i);
            restoredSkin = true;
        }
    }
    // The restored skin is the book's own again, so the next close writes
    // it back instead of an empty name.
    if (restoredSkin && isBook)
        state.Current().SkinIndex = state.CurrentSkin;
    BuildChapterMenu(view);
    ShowChapter(view);
    return outcome;
}

}  // namespace

void MainWindow::OpenFile()
{
    if (state_.LoadingBook == -1) {
        prompter_.Message(QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!"), kTip,
                          Prompter::Icon::Critical);
        return;
    }
    const std::optional<QString> chosen = prompter_.OpenFile(QStringLiteral("文本文件|*.txt"));
    if (!chosen)
        return;
    // The folder scan starts where the last book was chosen.
    QDir::setCurrent(QFileInfo(*chosen).absolutePath());
    OpenSequence(*chosen, true);
}

void MainWindow::OpenRecent(int index)
{
    const QString caption = recentFiles->Caption(index);
    if (caption == QStringLiteral("空"))
        return;
    if (state_.LoadingBook == -1) {
        prompter_.Message(QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!"), kTip,
                          Prompter::Icon::Critical);
        return;
    }
    OpenSequence(caption, false);
}

void MainWindow::OpenSequence(const QString& path, bool fromOpenDialog)
{
    // Where the reader is, noted while the pane still shows it; after the
    // open dialog the pane is emptied before the load.
    RememberPlace(*this);
    if (fromOpenDialog)
        readingPane->SetText(QString());
    if (path.isEmpty())
        return;
    // A book already in the store is shown where this session left it, in
    // its own skin: book.ini only knows the place of the last close.
    const bool alreadyOpen = state_.Books.FindByPath(path) != 0;
    // book.pos: the encoding the user chose for the book, and where in the
    // chapter book.ini restores the book was left.
    const std::optional<RememberedPosition> remembered =
        alreadyOpen ? std::nullopt : RememberedPositionOf(folders_, path);
    state_.LoadingBook = -1;
    const LoadResult result =
        LoadTextFile(state_, path, *this, remembered ? remembered->encoding : EncodingChoice::Automatic);
    state_.LoadingBook = 0;
    if (quitting_)
        return;
    const LoadCheck check = CheckLoad(*this, path, result);
    if (check.kind == LoadCheck::Kind::StoreFull)
        prompter_.Message(StoreFullText(), kTip, Prompter::Icon::Critical);
    if (check.kind != LoadCheck::Kind::Book || quitting_)
        return;
    const int slot = check.slot;
    state_.CurrentBook = static_cast<std::int16_t>(slot);

    if (alreadyOpen) {
        Book& book = state_.Current();
        if (book.SkinIndex != 0)
            state_.CurrentSkin = book.SkinIndex;
        BuildChapterMenu(*this);
        ::ShowChapter(*this);
    } else {
        const RestoreOutcome restore = Restore(*this, path);
        if (!restore.readable || quitting_)
            return;
        if (restore.restored && remembered && remembered->place && state_.Books.IsBook(state_.CurrentBook)
            && remembered->place->Chapter == state_.Current().ChapterIndex)
            state_.Current().Place = *remembered->place;
        if (fromOpenDialog && !restore.hadFile && state_.Books.IsBook(state_.CurrentBook)) {
            state_.Current().ChapterIndex = 0;
            BuildChapterMenu(*this);
            ::ShowChapter(*this);
        }
        if (fromOpenDialog && state_.Books.IsBook(state_.CurrentBook) && state_.Current().ChapterIndex == 0) {
            BuildChapterMenu(*this);
            ::ShowChapter(*this);
        }
    }
    if (quitting_)
        return;
    ListChapters(*this, slot);
    if (readingPane->Length() == 2 && state_.Books.IsBook(state_.CurrentBook)) {
        state_.Current().ChapterIndex = 0;
        ::ShowChapter(*this);
    }
    ReturnToPlace(*this);
    RegisterInBooksMenu(*this);
    CloseSplash();
}

void MainWindow::OpenInTextEditor()
{
    const QString path = state_.Books.IsBook(state_.CurrentBook) ? state_.Current().Path : QString();
    SystemTextEditor systemEditor;
    TextEditorLauncher& launcher = editor_ ? *editor_ : systemEditor;
    if (!launcher.Launch(path))
        prompter_.Message(QStringLiteral("无法启动文本编辑器，请用其他程序打开该文件。"), kTip,
                          Prompter::Icon::Exclamation);
}

void MainWindow::SaveAsCor()
{
    // Asks for a name and writes nothing: the command was never finished.
    const std::optional<QString> chosen = prompter_.SaveFile(QStringLiteral("文本文件|*.Cor"));
    if (!chosen)
        return;
    QString name = *chosen;
    if (!name.endsWith(QStringLiteral(".Cor")))
        name += QStringLiteral(".Cor");
    (void)name;
}
