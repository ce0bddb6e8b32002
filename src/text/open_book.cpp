#include "text/open_book.h"

#include "platform/prompter.h"
#include "skin/apply_skin.h"
#include "text/show_chapter.h"
#include "text/text_loader.h"
#include "ui/main/form2.h"
#include "ui/main/form4.h"

void AppendContents(Form4& window)
{
    ReaderState& state = window.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    // One append and one redraw for the whole list: what the pane and the
    // panel show is the same as appending title by title.
    QString titles;
    for (const ChapterEntry& entry : state.Current().Chapters) {
        titles += QStringLiteral("\r\n");
        titles += entry.Title;
    }
    window.Text1->AppendText(titles);
    ApplySkin(window);
    state.Current().ChapterIndex = -1;
}

void RegisterInBooksMenu(Form4& window)
{
    ReaderState& state = window.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    const QString& name = state.Current().FileName;
    MenuItemArray& books = *window.Bnull;
    if (books.Captions().contains(name))
        return;
    books.SetTag(books.AddEntry(name), state.CurrentBook);
}

void OpenBook(Form4& window, const QString& path)
{
    window.Splash().ShowSplash();
    ReaderState& state = window.State();
    const LoadResult result = LoadTextFile(state, path, window);
    if (window.Quitting())
        return;
    if (result.Error != LoadError::None) {
        window.Splash().CloseSplash();
        return;
    }
    if (!result.Message.isEmpty()) {
        window.Splash().CloseSplash();
        window.Prompts().Message(LoadFailureText(result), QStringLiteral("提示"), Prompter::Icon::Critical);
        return;
    }
    state.CurrentBook = static_cast<std::int16_t>(result.Code);
    ListChapters(window, result.Code);
    AppendContents(window);
    if (window.Text1->Length() == 2) {
        state.Current().ChapterIndex = 0;
        ShowChapter(window);
    }
    RegisterInBooksMenu(window);
    window.Splash().CloseSplash();
}
