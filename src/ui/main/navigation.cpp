// Moving through the books: chapter and book steps, the books and chapter
// menus, the key-polling timer and the reading pane's guards.

#include "platform/key_state.h"
#include "skin/apply_skin.h"
#include "text/show_chapter.h"
#include "ui/dialogs/form3.h"
#include "ui/main/form4.h"

#include <limits>

namespace {

// Adds `delta` to the chapter index unless that overflows; an overflow is
// a failing step, which is skipped.
void StepChapter(Book& book, int delta)
{
    const std::int64_t next = std::int64_t(book.ChapterIndex) + delta;
    if (next >= std::numeric_limits<std::int32_t>::min() && next <= std::numeric_limits<std::int32_t>::max())
        book.ChapterIndex = static_cast<std::int32_t>(next);
}

// A book left on its contents view is entered at chapter 0.
void EnterBook(ReaderState& state)
{
    if (state.Books.IsBook(state.CurrentBook) && state.Current().ChapterIndex == -1)
        state.Current().ChapterIndex = 0;
}

}  // namespace

void Form4::Image1_Click(int index)
{
    ReaderState& state = State();
    if (state.Books.IsBook(state.CurrentBook)) {
        Book& book = state.Current();
        if (index == 0)
            StepChapter(book, -1);
        else if (index == 1)
            book.ChapterIndex = -1;
        else if (index == 2)
            StepChapter(book, +1);
    }
    BuildChapterMenu(*this);
    ::ShowChapter(*this);
}

void Form4::Image2_Click(int index)
{
    ReaderState& state = State();
    if (index == 2) {
        Cover().show();
        Cover().raise();
        return;
    }
    if (index == 0 && state.CurrentBook >= 2) {
        --state.CurrentBook;
        EnterBook(state);
    } else if (index == 1 && state.CurrentBook < state.Books.Count()) {
        // Bounded by the books in the store: books sharing a file name
        // share one menu item, and the last of them must stay reachable.
        ++state.CurrentBook;
        EnterBook(state);
    }
    BuildChapterMenu(*this);
    ::ShowChapter(*this);
}

void Form4::Bnull_Click(int index)
{
    if (Bnull->Caption(index) == QStringLiteral("空"))
        return;
    ReaderState& state = State();
    // Each item carries the slot of the book its caption names.
    const int slot = Bnull->Tag(index);
    if (!state.Books.IsBook(slot))
        return;
    state.CurrentBook = static_cast<std::int16_t>(slot);
    Book& book = state.Current();
    if (book.SkinIndex == 0)
        book.SkinIndex = state.CurrentSkin;
    else
        state.CurrentSkin = book.SkinIndex;
    EnterBook(state);
    BuildChapterMenu(*this);
    ::ShowChapter(*this);
}

void Form4::ZNull_Click(int index)
{
    const QString caption = ZNull->Caption(index);
    if (index == 0 && caption == QStringLiteral("空"))
        return;
    ReaderState& state = State();
    const qsizetype tab = caption.indexOf(u'\t');
    const QStringView number = QStringView(caption).first(std::max<qsizetype>(tab, 0));
    // Leading digits; an empty text reads as 0.
    std::int64_t chapter = 0;
    for (QChar c : number) {
        if (c < u'0' || c > u'9' || chapter > std::numeric_limits<std::int32_t>::max())
            break;
        chapter = chapter * 10 + (c.unicode() - u'0');
    }
    if (state.Books.IsBook(state.CurrentBook) && chapter <= std::numeric_limits<std::int32_t>::max())
        state.Current().ChapterIndex = static_cast<std::int32_t>(chapter);
    ::ShowChapter(*this);
}

void Form4::Timer1_Timer()
{
    // A tick that starts while an earlier one still runs (inside a message
    // box it opened) does nothing, so a held key never stacks boxes.
    if (inTimerTick_ || quitting_ || !keys_)
        return;
    inTimerTick_ = true;
    struct Step {
        int key;
        int button;
    };
    for (const Step step : {Step{KeyState::kPageUp, 0}, Step{KeyState::kPageDown, 2}, Step{KeyState::kHome, 1}}) {
        if (!quitting_ && keys_->KeyIsDown(step.key)) {
            Image1_Click(step.button);
            Text1->SetSelStart(1);
        }
    }
    inTimerTick_ = false;
}

void Form4::Text1_KeyPress(int& character)
{
    character = 0;
}

void Form4::Text1_Change()
{
    Text1->SetSelStart(1);
}

void Form4::SetPaneFontSize(double points)
{
    QFont font = Text1->font();
    font.setPointSizeF(points);
    Text1->setFont(font);
}
