#include "ui/reading/show_chapter.h"

#include "ui/platform/prompter.h"
#include "ui/reading/apply_skin.h"
#include "ui/reading/reader_view.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

namespace {

const QString kReading = QStringLiteral("正在阅读:");

QString MenuCaption(int index, const QString& title)
{
    return QString::number(index) + u'\t' + title;
}

// Items 1 and up go; item 0 keeps its caption.
void ClearChapterMenu(ReaderView& view)
{
    view.ChapterItems().UnloadAll();
    view.ListedChapters() = {};
}

}  // namespace

QString ContentsText(const Book& book)
{
    QString text;
    for (const ChapterEntry& entry : book.Chapters) {
        text += entry.Title;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString AppendedContentsText(const Book& book)
{
    QString text;
    for (const ChapterEntry& entry : book.Chapters) {
        text += QStringLiteral("\r\n");
        text += entry.Title;
    }
    return text;
}

std::optional<int> ChapterOnContentsLine(const Book& book, const ReadingPane& pane, qsizetype line)
{
    const QString& shown = pane.Text();
    qsizetype firstTitleLine = 0;
    if (shown != ContentsText(book)) {
        const QString appended = AppendedContentsText(book);
        if (!shown.endsWith(appended))
            return std::nullopt;
        // The title of chapter 0 begins right after the CR LF put before it.
        firstTitleLine = pane.LineOf(shown.size() - appended.size() + 2);
    }
    const qsizetype chapter = line - firstTitleLine;
    if (chapter < 0 || chapter > book.LastChapter())
        return std::nullopt;
    return static_cast<int>(chapter);
}

void ShowChapter(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    Book& book = state.Current();
    if (book.ChapterIndex < -1 || book.ChapterIndex > book.LastChapter())
        book.ChapterIndex = -1;
    const int index = book.ChapterIndex;
    if (index == -1) {
        view.Pane().SetText(ContentsText(book));
        view.SetCaption(kReading + book.FileName + QStringLiteral("——目录"));
    } else {
        view.Pane().SetText(book.ChapterTexts[index]);
        view.SetCaption(kReading + book.FileName + QStringLiteral("——") + book.Chapters[index].Title);
    }
    ApplySkin(view);
}

void ListChapters(ReaderView& view, int slot)
{
    const ReaderState& state = view.State();
    if (!state.Books.IsBook(slot)) {
        ClearChapterMenu(view);
        return;
    }
    const Book& book = state.Books[slot];
    // Titles change only while their chapter is the last one, so the book,
    // the number of chapters and the last title tell whether anything changed.
    const ChapterMenuKey key{slot, book.LastChapter() + 1, book.Chapters.back().Title};
    if (key == view.ListedChapters() && view.ChapterItems().Count() == key.chapters)
        return;
    QStringList rest;
    rest.reserve(book.LastChapter());
    for (int j = 1; j <= book.LastChapter(); ++j)
        rest.append(MenuCaption(j, book.Chapters[j].Title));
    view.ChapterItems().SetItems(MenuCaption(0, book.Chapters[0].Title), std::move(rest));
    view.ListedChapters() = key;
}

void BuildChapterMenu(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!state.Books.IsBook(state.CurrentBook)) {
        ClearChapterMenu(view);
        return;
    }
    const Book& book = state.Current();
    if (book.LastChapter() == 0 && book.Chapters[0].Title.isEmpty()) {
        ClearChapterMenu(view);
        const int slot = state.CurrentBook;
        view.Prompts().Message(QStringLiteral("本书无目录，属于通篇浏览!"), QStringLiteral("文章提示"),
                               Prompter::Icon::Critical);
        // The message box ran the event loop: find the book again by slot.
        if (state.Books.IsBook(slot))
            state.Books[slot].ChapterIndex = 0;
        return;
    }
    ListChapters(view, state.CurrentBook);
}
