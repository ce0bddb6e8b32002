// 查看 → 文字编码: the encoding the current book is read in. A choice reads
// the book again in that encoding, in the same slot and at the same
// chapter, and book.pos remembers it for the next time the book opens.

#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"

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
    connect(reader_, &Reader::LoadFinished, this, &MainWindow::ShowChosenEncoding);
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
    if (!quitting_)
        reader_->ChooseEncoding(choice);
}
