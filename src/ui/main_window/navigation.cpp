// Moving through the books: chapter and book steps, the books and chapter
// menus, the key-polling timer and the reading pane's guards.

#include "core/reading/reader.h"
#include "ui/dialogs/cover_window.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/key_state.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

#include <QKeyEvent>

#include <limits>

void MainWindow::PreviousChapter()
{
    reader_->StepChapter(-1);
}

void MainWindow::NextChapter()
{
    reader_->StepChapter(+1);
}

void MainWindow::ShowContents()
{
    reader_->ShowContents();
}

void MainWindow::PreviousBook()
{
    reader_->StepBook(-1);
}

void MainWindow::NextBook()
{
    reader_->StepBook(+1);
}

// The cover shows the name of the book current now, not of the one that
// was current when it was made.
void MainWindow::ShowCover()
{
    CoverWindow& cover = Cover();
    if (cover.isVisible())
        cover.DrawCoverTitle();
    cover.show();  // a hidden cover draws its title as it is shown
    cover.raise();
}

void MainWindow::ShowBookFromMenu(int index)
{
    if (bookItems->IsPlaceholder(index))
        return;
    // Each item carries the slot of the book its caption names.
    reader_->ShowBook(bookItems->Tag(index));
}

void MainWindow::ShowChapterFromMenu(int index)
{
    if (chapterItems->IsPlaceholder(index))
        return;
    // The caption starts with the chapter's number; an empty one reads as 0.
    const QString caption = chapterItems->Caption(index);
    const qsizetype tab = caption.indexOf(u'\t');
    const QStringView number = QStringView(caption).first(std::max<qsizetype>(tab, 0));
    std::int64_t chapter = 0;
    for (QChar c : number) {
        if (c < u'0' || c > u'9' || chapter > std::numeric_limits<std::int32_t>::max())
            break;
        chapter = chapter * 10 + (c.unicode() - u'0');
    }
    reader_->GoToChapter(chapter);
}

// A title chosen in the contents view (double-click, or Enter on its line)
// shows its chapter as the chapter menu would. Elsewhere nothing happens.
void MainWindow::ShowChapterFromContents(qsizetype line)
{
    if (!state_.Books.IsBook(state_.CurrentBook) || state_.Current().ChapterIndex != -1)
        return;
    if (const std::optional<int> chapter = ChapterOnContentsLine(state_.Current(), *readingPane, line))
        reader_->GoToChapter(*chapter);
}

void MainWindow::PollPageKeys()
{
    // A tick that starts while an earlier one still runs (inside a message
    // box it opened) does nothing, so a held key never stacks boxes.
    if (inPollTick_ || quitting_ || !keys_)
        return;
    inPollTick_ = true;
    struct Step {
        int key;
        void (MainWindow::*move)();
    };
    for (const Step step :
         {Step{KeyState::kPageUp, &MainWindow::PreviousChapter}, Step{KeyState::kPageDown, &MainWindow::NextChapter},
          Step{KeyState::kHome, &MainWindow::ShowContents}}) {
        if (!quitting_ && keys_->KeyIsDown(step.key)) {
            (this->*step.move)();
            readingPane->SetSelStart(1);
        }
    }
    inPollTick_ = false;
}

// The pane is read-only by its guards: typed characters never reach it,
// and whatever changes its text puts the caret back after the first character.
// Reading keys: Space and Shift+Space turn a screen (Space at the end of a
// chapter goes on to the next), Up and Down scroll a line; the caret stays.
// Esc leaves the focus mode.
bool MainWindow::ReadByKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Space && modifiers == Qt::NoModifier) {
        if (!readingPane->PageDown() && state_.Books.IsBook(state_.CurrentBook)
            && state_.Current().ChapterIndex < state_.Current().LastChapter())
            NextChapter();
        ReadAloudFollowsPage();
        return true;
    }
    if (key.key() == Qt::Key_Space && modifiers == Qt::ShiftModifier) {
        readingPane->PageUp();
        ReadAloudFollowsPage();
        return true;
    }
    if (key.key() == Qt::Key_Escape && InFocusMode()) {
        SetFocusMode(false);
        return true;
    }
    if ((key.key() == Qt::Key_Down || key.key() == Qt::Key_Up) && modifiers == Qt::NoModifier) {
        readingPane->ScrollLines(key.key() == Qt::Key_Down ? 1 : -1);
        return true;
    }
    return false;
}

void MainWindow::DiscardTypedCharacter(int& character)
{
    character = 0;
}

void MainWindow::KeepCaretAtTop()
{
    readingPane->SetSelStart(1);
}

void MainWindow::SetPaneFontSize(double points)
{
    QFont font = readingPane->font();
    font.setPointSizeF(points);
    readingPane->setFont(font);
}
