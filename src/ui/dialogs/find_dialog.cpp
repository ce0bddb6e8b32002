#include "ui/dialogs/find_dialog.h"

#include "core/reading/reader.h"
#include "ui/platform/prompter.h"
#include "ui/platform/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

FindDialog::FindDialog(Reader& reader, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , reader_(reader)
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("查找"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(TwipsToPixels(5040), TwipsToPixels(1800));

    findLabel = new QLabel(QStringLiteral("查找文本"), this);
    findLabel->setObjectName(QStringLiteral("findLabel"));
    findLabel->setGeometry(TwipsRect(240, 255, 1020, 300));

    findText = new QLineEdit(this);
    findText->setObjectName(QStringLiteral("findText"));
    findText->setGeometry(TwipsRect(1260, 210, 3540, 390));

    downwardScope = new QRadioButton(QStringLiteral("向下查找"), this);
    downwardScope->setObjectName(QStringLiteral("downwardScope"));
    downwardScope->setGeometry(TwipsRect(240, 780, 1380, 330));
    bookScope = new QRadioButton(QStringLiteral("全文查找"), this);
    bookScope->setObjectName(QStringLiteral("bookScope"));
    bookScope->setGeometry(TwipsRect(1740, 780, 1380, 330));
    allBooksScope = new QRadioButton(QStringLiteral("所有打开文件"), this);
    allBooksScope->setObjectName(QStringLiteral("allBooksScope"));
    allBooksScope->setGeometry(TwipsRect(3240, 780, 1680, 330));
    downwardScope->setChecked(true);

    findButton = new QPushButton(QStringLiteral("查找(&N)"), this);
    findButton->setObjectName(QStringLiteral("findButton"));
    findButton->setGeometry(TwipsRect(3600, 1260, 1200, 390));

    // Tab order is creation order: text, scopes, button.
    findText->setFocus();

    // `clicked` comes from the user (mouse, keys, Alt shortcut), not from
    // setChecked, so selecting a scope in code runs no handler.
    connect(downwardScope, &QRadioButton::clicked, this, &FindDialog::OnDownwardScopeChosen);
    connect(bookScope, &QRadioButton::clicked, this, &FindDialog::OnBookScopeChosen);
    connect(allBooksScope, &QRadioButton::clicked, this, &FindDialog::OnAllBooksScopeChosen);
    connect(findText, &QLineEdit::textChanged, this, &FindDialog::OnFindTextChanged);
    connect(findButton, &QPushButton::clicked, this, &FindDialog::Find);
    findText->installEventFilter(this);

    // A new dialog searches the whole current book from its start.
    StoreCursor(reader_.State().CurrentBook, Position(), 0);
    bookScope->setChecked(true);
    OnBookScopeChosen();
}

std::optional<std::int64_t> FindDialog::Position() const
{
    const ReaderState& state = reader_.State();
    // Slot 0, the empty placeholder, has a position of its own.
    if (state.CurrentBook < 0 || state.CurrentBook > state.Books.Count())
        return std::nullopt;
    return state.Books[state.CurrentBook].ChapterIndex;
}

SearchScope FindDialog::Scope() const
{
    if (downwardScope->isChecked())
        return SearchScope::Pane;
    if (allBooksScope->isChecked())
        return SearchScope::AllBooks;
    return SearchScope::Book;
}

void FindDialog::StoreCursor(std::optional<std::int64_t> book, std::optional<std::int64_t> chapter,
                             std::optional<std::int64_t> offset)
{
    if (book)
        cursor_.book = *book;
    if (chapter)
        cursor_.chapter = *chapter;
    if (offset)
        cursor_.offset = *offset;
}

bool FindDialog::MovedSinceLastHit() const
{
    const ReaderState& state = reader_.State();
    return lastHit_
        && (lastHit_->book != state.CurrentBook || Position() != lastHit_->chapter
            || lastHit_->start != reader_.SelectionStart() || lastHit_->end != reader_.SelectionEnd());
}

void FindDialog::OnDownwardScopeChosen()
{
    lastHit_.reset();
    StoreCursor(reader_.State().CurrentBook, Position(), reader_.SelectionStart());
}

void FindDialog::OnBookScopeChosen()
{
    lastHit_.reset();
    StoreCursor(reader_.State().CurrentBook, 0, 0);
}

void FindDialog::OnAllBooksScopeChosen()
{
    lastHit_.reset();
    StoreCursor(1, 0, 0);
}

void FindDialog::OnFindTextChanged()
{
    lastHit_.reset();
    switch (Scope()) {
    case SearchScope::Pane: StoreCursor(reader_.State().CurrentBook, Position(), 0); break;
    case SearchScope::Book: StoreCursor(reader_.State().CurrentBook, 0, 0); break;
    case SearchScope::AllBooks: StoreCursor(1, 0, 0); break;
    }
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Enter searches like the button; the key itself goes on to the box.
    if (watched == findText && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            Find();
    }
    return QWidget::eventFilter(watched, event);
}

void FindDialog::Find()
{
    const QString findWhat = findText->text();
    if (findWhat.isEmpty())
        return;
    // The user clicked elsewhere since the last hit: on from there, not
    // from the hit.
    if (Scope() == SearchScope::Pane && MovedSinceLastHit())
        StoreCursor(reader_.State().CurrentBook, Position(), reader_.SelectionStart());
    lastHit_.reset();
    const SearchResult result = reader_.Find(findWhat, Scope(), cursor_);
    if (result.error != 0) {
        ShowError(result.error);
        return;
    }
    const ReaderState& state = reader_.State();
    if (!result.found) {
        StoreCursor(state.CurrentBook, Position(), reader_.SelectionStart());
        // The dialog stays, so the user can change the text or the scope.
        prompter_.Message(QStringLiteral("找不到“") + findWhat + QStringLiteral("”"), QStringLiteral("提示"),
                          Prompter::Icon::Information, Prompter::Buttons::Ok, this);
        return;
    }
    const std::optional<std::int64_t> position = Position();
    if (!position) {
        ShowError(kNoSuchIndex);
        return;
    }
    // The next search starts after the occurrence just selected, so
    // pressing "查找(&N)" again finds the next one. After a heading hit
    // nothing is selected and the caret ShowChapter left counts.
    StoreCursor(state.CurrentBook, *position, reader_.SelectionEnd());
    lastHit_ = Hit{state.CurrentBook, *position, reader_.SelectionStart(), reader_.SelectionEnd()};
    hide();
}

void FindDialog::ShowError(int number)
{
    prompter_.Message(QString::number(number) + ErrorDescription(number), QStringLiteral("错误提示"),
                      Prompter::Icon::Critical, Prompter::Buttons::Ok);
}

void FindDialog::closeEvent(QCloseEvent* event)
{
    // Closed by the user: the next find command makes a new dialog, whose
    // start resets the cursor. This one goes when the event loop runs.
    emit Discarded();
    QWidget::closeEvent(event);
}
