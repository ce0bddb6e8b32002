#include "ui/reading/open_book.h"

#include "core/books/book_store.h"
#include "core/books/text_loader.h"
#include "ui/platform/prompter.h"
#include "ui/reading/apply_skin.h"
#include "ui/reading/reader_view.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>

namespace {

const QString kTip = QStringLiteral("提示");

void Tell(ReaderView& view, const QString& text)
{
    view.Prompts().Message(text, kTip, Prompter::Icon::Critical);
}

}  // namespace

QString StoreFullText()
{
    return QStringLiteral("溢出：最多只能同时打开 %1 本电子书，这本书没有打开。").arg(BookStore::kMaxBooks);
}

LoadCheck CheckLoad(ReaderView& view, const QString& path, const LoadResult& result)
{
    using Kind = LoadCheck::Kind;
    if (view.Quitting() || result.Error == LoadError::Interrupted)
        return {Kind::Failed, 0};
    if (!result.Message.isEmpty()) {
        Tell(view, LoadFailureText(result));
        return {Kind::Failed, 0};
    }
    const ReaderState& state = view.State();
    switch (result.Error) {
    case LoadError::None: return {Kind::Book, result.Code};
    case LoadError::ReadFailed:
        Tell(view, QStringLiteral("文件打开错误!无法读取该文件:\n") + QDir::toNativeSeparators(path));
        return {Kind::Failed, 0};
    case LoadError::Overflow:
        // A book stopped at the last chapter the store can number stays in
        // it, cut off; a full store has no slot for the book at all.
        if (const int slot = state.Books.FindByPath(path)) {
            const Book& book = state.Books[slot];
            Tell(view,
                 QStringLiteral("溢出：《%1》的章节超过 %2 个，只打开了前 %2 章。")
                     .arg(book.FileName)
                     .arg(book.LastChapter() + 1));
            // The message box ran the event loop: the slot is still the book's.
            return {view.Quitting() ? Kind::Failed : Kind::Book, slot};
        }
        return {Kind::StoreFull, 0};
    case LoadError::Interrupted: break;
    }
    return {Kind::Failed, 0};
}

void AppendContents(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    // One append and one redraw for the whole list, leaving the pane and the
    // panel as appending title by title would: each redraw sees the index the
    // one before it left, so the last sees -1 unless there was only one.
    view.Pane().AppendText(AppendedContentsText(state.Current()));
    if (state.Current().LastChapter() > 0)
        state.Current().ChapterIndex = -1;
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
