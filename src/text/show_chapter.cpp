#include "text/show_chapter.h"

#include "platform/prompter.h"
#include "skin/apply_skin.h"
#include "ui/main/form4.h"

namespace {

const QString kReading = QStringLiteral("正在阅读:");

QString MenuCaption(int index, const QString& title)
{
    return QString::number(index) + u'\t' + title;
}

// Items 1 and up go; item 0 keeps its caption.
void ClearChapterMenu(Form4& window)
{
    window.ZNull->UnloadAll();
    window.chapterMenuKey = {};
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

void ShowChapter(Form4& window)
{
    ReaderState& state = window.State();
    if (!state.Books.IsBook(state.CurrentBook))
        return;
    Book& book = state.Current();
    if (book.ChapterIndex < -1 || book.ChapterIndex > book.LastChapter())
        book.ChapterIndex = -1;
    const int index = book.ChapterIndex;
    if (index == -1) {
        window.Text1->SetText(ContentsText(book));
        window.setWindowTitle(kReading + book.FileName + QStringLiteral("——目录"));
    } else {
        window.Text1->SetText(book.ChapterTexts[index]);
        window.setWindowTitle(kReading + book.FileName + QStringLiteral("——") + book.Chapters[index].Title);
    }
    ApplySkin(window);
}

void ListChapters(Form4& window, int slot)
{
    const ReaderState& state = window.State();
    if (!state.Books.IsBook(slot)) {
        ClearChapterMenu(window);
        return;
    }
    const Book& book = state.Books[slot];
    // Titles change only while their chapter is the last one, so the book,
    // the number of chapters and the last title tell whether anything changed.
    const Form4::ChapterMenuKey key{slot, book.LastChapter() + 1, book.Chapters.back().Title};
    if (key == window.chapterMenuKey && window.ZNull->Count() == key.chapters)
        return;
    QStringList rest;
    rest.reserve(book.LastChapter());
    for (int j = 1; j <= book.LastChapter(); ++j)
        rest.append(MenuCaption(j, book.Chapters[j].Title));
    window.ZNull->SetItems(MenuCaption(0, book.Chapters[0].Title), std::move(rest));
    window.chapterMenuKey = key;
}

void BuildChapterMenu(Form4& window)
{
    ReaderState& state = window.State();
    if (!state.Books.IsBook(state.CurrentBook)) {
        ClearChapterMenu(window);
        return;
    }
    const Book& book = state.Current();
    if (book.LastChapter() == 0 && book.Chapters[0].Title.isEmpty()) {
        ClearChapterMenu(window);
        const int slot = state.CurrentBook;
        window.Prompts().Message(QStringLiteral("本书无目录，属于通篇浏览!"), QStringLiteral("文章提示"),
                                 Prompter::Icon::Critical);
        // The message box ran the event loop: find the book again by slot.
        if (state.Books.IsBook(slot))
            state.Books[slot].ChapterIndex = 0;
        return;
    }
    ListChapters(window, state.CurrentBook);
}
