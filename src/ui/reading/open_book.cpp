#include "ui/reading/open_book.h"

#include "core/books/text_loader.h"
#include "ui/platform/prompter.h"
#include "ui/reading/apply_skin.h"
#include "ui/reading/reader_view.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

void AppendContents(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    // One append and one redraw for the whole list: what the pane and the
    // panel show is the same as appending title by title.
    QString titles;
    for (const ChapterEntry& entry : state.Current().Chapters) {
        titles += QStringLiteral("\r\n");
        titles += entry.Title;
    }
    view.Pane().AppendText(titles);
    ApplySkin(view);
    state.Current().ChapterIndex = -1;
}

void RegisterInBooksMenu(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    const QString& name = state.Current().FileName;
    MenuItemArray& books = view.BookItems();
    if (books.Captions().contains(name))
        return;
    books.SetTag(books.AddEntry(name), state.CurrentBook);
}

void OpenBook(ReaderView& view, const QString& path)
{
    view.ShowSplash();
    ReaderState& state = view.State();
    const LoadResult result = LoadTextFile(state, path, view);
    if (view.Quitting())
        return;
    if (result.Error != LoadError::None) {
        view.CloseSplash();
        return;
    }
    if (!result.Message.isEmpty()) {
        view.CloseSplash();
        view.Prompts().Message(LoadFailureText(result), QStringLiteral("提示"), Prompter::Icon::Critical);
        return;
    }
    state.CurrentBook = static_cast<std::int16_t>(result.Code);
    ListChapters(view, result.Code);
    AppendContents(view);
    if (view.Pane().Length() == 2) {
        state.Current().ChapterIndex = 0;
        ShowChapter(view);
    }
    RegisterInBooksMenu(view);
    view.CloseSplash();
}
