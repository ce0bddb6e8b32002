// Moving through the books: chapter and book steps, the books and chapter
// menus, the key-polling timer and the reading pane's guards.

#include "ui/dialogs/cover_window.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/key_state.h"
#include "ui/reading/reading_place.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

#include <limits>

namespace {

// A book left on its contents view is entered at chapter 0.
void EnterBook(ReaderState& state)
{
    if (state.Books.IsBook(state.CurrentBook) && state.Current().ChapterIndex == -1)
        state.Current().ChapterIndex = 0;
}

}  // namespace

// Every move ends here: the chapter menu first, then the chapter itself.
void MainWindow::AfterMove()
{
    BuildChapterMenu(*this);
    ::ShowChapter(*this);
}

// Adds `delta` to the chapter index unless that overflows; an overflow is
// a failing step, which is skipped. No bound is applied here: showing the
// chapter turns an index out of range into the contents view.
void MainWindow::StepChapter(int delta)
{
    if (state_.Books.IsBook(state_.CurrentBook)) {
        Book& book = state_.Current();
        const std::int64_t next = std::int64_t(book.ChapterIndex) + delta;
        if (next >= std::numeric_limits<std::int32_t>::min() && next <= std::numeric_limits<std::int32_t>::max())
            book.ChapterIndex = static_cast<std::int32_t>(next);
    }
    AfterMove();
}

void MainWindow::PreviousChapter()
{
    StepChapter(-1);
}

void MainWindow::NextChapter()
{
    StepChapter(+1);
}

void MainWindow::ShowContents()
{
    if (state_.Books.IsBook(state_.CurrentBook))
        state_.Current().ChapterIndex = -1;
    AfterMove();
}

// The book steps leave the skin in use as it is. The next-book bound is the
// number of books in the store: books sharing a file name share one menu
// item, and the last of them must stay reachable. The book stepped to comes
// back where it was being read.
void MainWindow::StepBook(int delta)
{
    RememberPlace(*this);
    const int target = state_.CurrentBook + delta;
    if (target >= 1 && target <= state_.Books.Count()) {
        state_.CurrentBook = static_cast<std::int16_t>(target);
        EnterBook(state_);
    }
    AfterMove();
    ReturnToPlace(*this);
}

void MainWindow::PreviousBook()
{
    StepBook(-1);
}

void MainWindow::NextBook()
{
    StepBook(+1);
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
    if (bookItems->Caption(index) == QStringLiteral("空"))
        return;
    // Each item carries the slot of the book its caption names.
    const int slot = bookItems->Tag(index);
    if (!state_.Books.IsBook(slot))
        return;
    RememberPlace(*this);
    state_.CurrentBook = static_cast<std::int16_t>(slot);
    Book& book = state_.Current();
    if (book.SkinIndex == 0)
        book.SkinIndex = state_.CurrentSkin;
    else
        state_.CurrentSkin = book.SkinIndex;
    EnterBook(state_);
    AfterMove();
    ReturnToPlace(*this);
}

void MainWindow::ShowChapterFromMenu(int index)
{
    const QString caption = chapterItems->Caption(index);
    if (index == 0 && caption == QStringLiteral("空"))
        return;
    const qsizetype tab = caption.indexOf(u'\t');
    const QStringView number = QStringView(caption).first(std::max<qsizetype>(tab, 0));
    // Leading digits; an empty text reads as 0.
    std::int64_t chapter = 0;
    for (QChar c : number) {
        if (c < u'0' || c > u'9' || chapter > std::numeric_limits<std::int32_t>::max())
            break;
        chapter = chapter * 10 + (c.unicode() - u'0');
    }
    if (state_.Books.IsBook(state_.CurrentBook) && chapter <= std::numeric_limits<std::int32_t>::max())
        state_.Current().ChapterIndex = static_cast<std::int32_t>(chapter);
    ::ShowChapter(*this);
}

// A title chosen in the contents view (double-click, or Enter on its line)
// shows its chapter as the chapter menu would. Elsewhere nothing happens.
void MainWindow::ShowChapterFromContents(qsizetype line)
{
    if (!state_.Books.IsBook(state_.CurrentBook) || state_.Current().ChapterIndex != -1)
        return;
    const std::optional<int> chapter = ChapterOnContentsLine(state_.Current(), *readingPane, line);
    if (!chapter)
        return;
    state_.Current().ChapterIndex = *chapter;
    ::ShowChapter(*this);
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
