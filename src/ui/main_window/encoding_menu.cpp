// 查看 → 文字编码: the encoding the current book is read in. A choice reads
// the book again in that encoding, in the same slot and at the same
// chapter, and book.pos remembers it for the next time the book opens.

#include "core/books/text_loader.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/reading/open_book.h"
#include "ui/reading/reading_place.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

void MainWindow::BuildEncodingMenu()
{
    encodingMenu = new QMenu(QStringLiteral("文字编码"), viewMenu);
    encodingMenu->setObjectName(QStringLiteral("encodingMenu"));
    viewMenu->addMenu(encodingMenu);
    encodingChoices = new QActionGroup(encodingMenu);
    encodingChoices->setObjectName(QStringLiteral("encodingChoices"));
    encodingChoices->setExclusive(true);
    for (const EncodingChoice choice : kEncodingChoices) {
        QAction* item = encodingMenu->addAction(EncodingMenuName(choice));
        item->setCheckable(true);
        item->setData(static_cast<int>(choice));
        encodingChoices->addAction(item);
        connect(item, &QAction::triggered, this, [this, choice] { ChooseEncoding(choice); });
    }
    connect(encodingMenu, &QMenu::aboutToShow, this, &MainWindow::ShowChosenEncoding);
    ShowChosenEncoding();
}

// The current book's choice is checked; with no book there is nothing to read again.
void MainWindow::ShowChosenEncoding()
{
    const bool isBook = state_.Books.IsBook(state_.CurrentBook);
    const EncodingChoice chosen = isBook ? state_.Current().ChosenEncoding : EncodingChoice::Automatic;
    for (QAction* item : encodingChoices->actions()) {
        item->setEnabled(isBook);
        item->setChecked(item->data().toInt() == static_cast<int>(chosen));
    }
}

void MainWindow::ChooseEncoding(EncodingChoice choice)
{
    if (quitting_ || !state_.Books.IsBook(state_.CurrentBook))
        return;
    // A load in progress may be filling this very book: reading it again
    // under the loader would pull its chapters away. The user is told, as
    // when an open command waits for a load.
    if (loadsYielding_ > 0) {
        ShowChosenEncoding();
        prompter_.Message(QStringLiteral("正在加载电子书,加载完毕后才可以更换文字编码!"), QStringLiteral("提示"),
                          Prompter::Icon::Critical);
        return;
    }
    if (state_.Current().ChosenEncoding == choice)
        return;
    const int slot = state_.CurrentBook;
    RememberPlace(*this);
    const ReadingPlace place = state_.Current().Place;
    const QString path = state_.Current().Path;
    // The text the place was noted in: the place holds only if that
    // chapter reads the same in the new encoding.
    const QString placeText = place.Chapter >= 0 && place.Chapter <= state_.Current().LastChapter()
        ? state_.Current().ChapterTexts[place.Chapter]
        : QString();

    const LoadResult result = ReloadTextFile(state_, slot, *this, choice);
    if (quitting_ || !state_.Books.IsBook(slot))
        return;
    Book& book = state_.Books[slot];
    const bool placeHolds = place.Chapter >= 0 && place.Chapter == book.ChapterIndex
        && place.Chapter <= book.LastChapter() && book.ChapterTexts[place.Chapter] == placeText;
    if (!placeHolds)
        book.Place = {};
    // The chapter menu may list the old titles under the same key: list anew.
    if (listedChapters_.book == slot)
        listedChapters_ = {};
    // The user may have gone to another book while this one was read.
    if (state_.CurrentBook == slot) {
        ListChapters(*this, slot);
        ::ShowChapter(*this);
        ReturnToPlace(*this);
    }
    ShowChosenEncoding();
    CheckLoad(*this, path, result);
}
