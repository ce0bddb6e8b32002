#include "ui/dialogs/findword.h"

#include "platform/prompter.h"
#include "platform/twips.h"
#include "text/show_chapter.h"
#include "ui/dialogs/main_pane.h"
#include "ui/main/form4.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <new>
#include <stdexcept>

namespace {

QLabel* CursorLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setVisible(false);
    return label;
}

std::optional<std::int64_t> Number(const QLabel* label)
{
    bool ok = false;
    const qlonglong value = label->text().toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(value) : std::nullopt;
}

}  // namespace

findword::findword(Form4& main)
    : QWidget(&main, Qt::Dialog)
    , main_(main)
{
    setObjectName(QStringLiteral("findword"));
    setWindowTitle(QStringLiteral("查找"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(TwipsToPixels(5040), TwipsToPixels(1800));

    Label1 = new QLabel(QStringLiteral("查找文本"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(240, 255, 1020, 300));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(TwipsRect(1260, 210, 3540, 390));

    Option1 = new QRadioButton(QStringLiteral("向下查找"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setGeometry(TwipsRect(240, 780, 1380, 330));
    Option2 = new QRadioButton(QStringLiteral("全文查找"), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setGeometry(TwipsRect(1740, 780, 1380, 330));
    Option3 = new QRadioButton(QStringLiteral("所有打开文件"), this);
    Option3->setObjectName(QStringLiteral("Option3"));
    Option3->setGeometry(TwipsRect(3240, 780, 1680, 330));
    Option1->setChecked(true);

    Command1 = new QPushButton(QStringLiteral("查找(&N)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(TwipsRect(3600, 1260, 1200, 390));

    Label2 = CursorLabel(this, "Label2");
    Label3 = CursorLabel(this, "Label3");
    Label4 = CursorLabel(this, "Label4");

    // Tab order is creation order: text, options, button.
    Text1->setFocus();

    // `clicked` comes from the user (mouse, keys, Alt shortcut), not from
    // setChecked, so selecting an option in code runs no handler.
    connect(Option1, &QRadioButton::clicked, this, &findword::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &findword::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &findword::Option3_Click);
    connect(Text1, &QLineEdit::textChanged, this, &findword::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &findword::Command1_Click);
    Text1->installEventFilter(this);

    Form_Load();
}

void findword::Form_Load()
{
    try {
        StoreCursor(main_.State().CurrentBook, Position(), 0);
        Option2->setChecked(true);
        Option2_Click();
    } catch (...) {
    }
}

std::optional<std::int64_t> findword::Position() const
{
    const ReaderState& state = main_.State();
    // Slot 0, the empty placeholder, has a position of its own.
    if (state.CurrentBook < 0 || state.CurrentBook > state.Books.Count())
        return std::nullopt;
    return state.Books[state.CurrentBook].ChapterIndex;
}

SearchScope findword::Scope() const
{
    if (Option1->isChecked())
        return SearchScope::Pane;
    if (Option3->isChecked())
        return SearchScope::AllBooks;
    return SearchScope::Book;
}

// A value that cannot be read leaves its label as it was; the others are
// still written.
void findword::StoreCursor(std::optional<std::int64_t> book, std::optional<std::int64_t> chapter,
                           std::optional<std::int64_t> offset)
{
    if (book)
        Label2->setText(QString::number(*book));
    if (chapter)
        Label3->setText(QString::number(*chapter));
    if (offset)
        Label4->setText(QString::number(*offset));
}

std::optional<SearchCursor> findword::StoredCursor() const
{
    const auto book = Number(Label2), chapter = Number(Label3), offset = Number(Label4);
    if (!book || !chapter || !offset)
        return std::nullopt;
    return SearchCursor{*book, *chapter, *offset};
}

void findword::Option1_Click()
{
    try {
        StoreCursor(main_.State().CurrentBook, Position(), main_.Text1->SelStart());
    } catch (...) {
    }
}

void findword::Option2_Click()
{
    try {
        StoreCursor(main_.State().CurrentBook, 0, 0);
    } catch (...) {
    }
}

void findword::Option3_Click()
{
    try {
        StoreCursor(1, 0, 0);
    } catch (...) {
    }
}

void findword::Text1_Change()
{
    try {
        switch (Scope()) {
        case SearchScope::Pane: StoreCursor(main_.State().CurrentBook, Position(), 0); break;
        case SearchScope::Book: StoreCursor(main_.State().CurrentBook, 0, 0); break;
        case SearchScope::AllBooks: StoreCursor(1, 0, 0); break;
        }
    } catch (...) {
    }
}

void findword::Text1_KeyPress(int& character)
{
    // Enter searches like the button; the key itself goes on to the box.
    if (character == 13)
        Command1_Click();
}

bool findword::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int character = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            character = 13;
        else if (!key->text().isEmpty())
            character = key->text().front().unicode();
        if (character != 0) {
            Text1_KeyPress(character);
            if (character == 0)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void findword::Command1_Click()
{
    try {
        const QString findWhat = Text1->text();
        if (findWhat.isEmpty())
            return;
        const SearchScope scope = Scope();
        const std::optional<SearchCursor> cursor = StoredCursor();
        if (!cursor) {
            ShowError(kTypeMismatch);
            return;
        }
        ReaderState& state = main_.State();
        const int bookBefore = state.CurrentBook;
        MainPane pane(main_);
        const SearchResult result = SearchText(state, pane, findWhat, scope, *cursor);
        if (result.Error != 0) {
            ShowError(result.Error);
            return;
        }
        // A hit in another book: its chapters replace the old book's in the
        // chapter menu, so the menu never lists a book not on screen.
        if (state.CurrentBook != bookBefore)
            ListChapters(main_, state.CurrentBook);
        const std::optional<std::int64_t> position = Position();
        if (!position) {
            ShowError(kNoSuchIndex);
            return;
        }
        StoreCursor(state.CurrentBook, *position, main_.Text1->SelStart());
        hide();
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemory);
    } catch (const std::out_of_range&) {
        ShowError(kNoSuchIndex);
    } catch (...) {
        ShowError(kInternalError);
    }
}

void findword::ShowError(int number)
{
    try {
        main_.Prompts().Message(QString::number(number) + ErrorDescription(number), QStringLiteral("错误提示"),
                                Prompter::Icon::Critical, Prompter::Buttons::Ok);
    } catch (...) {
    }
}

void findword::closeEvent(QCloseEvent* event)
{
    // Closed by the user: the next find command makes a new dialog, whose
    // load resets the cursor. The old one goes when the event loop runs.
    if (main_.findDialog == this)
        main_.findDialog = nullptr;
    QWidget::closeEvent(event);
}
