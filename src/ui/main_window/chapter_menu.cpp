// The chapter menu (查看 → 所有章节) and choosing a chapter from the
// contents view.

#include "ui/main_window/chapter_menu.h"

#include "core/books/book_contents.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

namespace {

QString MenuCaption(int index, const QString& title)
{
    return QString::number(index) + u'\t' + title;
}

}  // namespace

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

void MainWindow::ListChapters(int slot, bool anew)
{
    if (anew)
        listedChapters_ = {};
    const Book* listed = state_.Books.BookAt(slot);
    if (!listed) {
        // Items 1 and up go; item 0 keeps its caption.
        chapterItems->UnloadAll();
        listedChapters_ = {};
        return;
    }
    const Book& book = *listed;
    // Titles change only while their chapter is the last one, so the book,
    // the number of chapters and the last title tell whether anything changed.
    const ChapterMenuKey key{slot, book.LastChapter() + 1, book.Chapters.back().Title};
    if (key == listedChapters_ && chapterItems->Count() == key.chapters)
        return;
    ContentsTitles titles;
    const QString first = MenuCaption(0, titles.Next(book.Chapters[0]));
    QStringList rest;
    rest.reserve(book.LastChapter());
    for (int j = 1; j <= book.LastChapter(); ++j)
        rest.append(MenuCaption(j, titles.Next(book.Chapters[j])));
    chapterItems->SetItems(first, std::move(rest));
    listedChapters_ = key;
}

void MainWindow::ListBook(int slot)
{
    const Book* book = state_.Books.BookAt(slot);
    if (!book)
        return;
    const QString& name = book->FileName;
    if (bookItems->Captions().contains(name))
        return;
    bookItems->SetTag(bookItems->AddEntry(name), slot);
}
