#include "ui/dialogs/jump_dialog.h"

#include "core/reading/reader.h"
#include "ui/platform/twips.h"
#include "ui/widgets/chapter_list_model.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Often enough that arriving chapters appear as they load, seldom enough
// that an idle dialog costs nothing.
constexpr int kFollowInterval = 250;

bool IsEnter(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

JumpDialog::JumpDialog(Reader& reader, QWidget* parent) : QDialog(parent), reader_(reader)
{
    setObjectName(QStringLiteral("jumpDialog"));
    setWindowTitle(QStringLiteral("跳到章节"));
    setWindowModality(Qt::WindowModal);
    resize(TwipsToPixels(7800), TwipsToPixels(8400));

    chapters_ = new ChapterListModel(reader_.State(), this);

    filterText = new QLineEdit(this);
    filterText->setObjectName(QStringLiteral("filterText"));
    filterText->setPlaceholderText(QStringLiteral("输入章节名称或序号"));
    filterText->setClearButtonEnabled(true);

    chapterList = new QListView(this);
    chapterList->setObjectName(QStringLiteral("chapterList"));
    chapterList->setModel(chapters_);
    // Rows of one height let a list of thousands lay out at once.
    chapterList->setUniformItemSizes(true);
    chapterList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chapterList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filterText);
    layout->addWidget(chapterList);

    followTimer = new QTimer(this);
    followTimer->setObjectName(QStringLiteral("followTimer"));
    followTimer->setInterval(kFollowInterval);

    connect(filterText, &QLineEdit::textChanged, this, &JumpDialog::OnFilterTextChanged);
    connect(filterText, &QLineEdit::returnPressed, this, &JumpDialog::Choose);
    connect(chapterList, &QListView::doubleClicked, this, &JumpDialog::Choose);
    connect(followTimer, &QTimer::timeout, this, &JumpDialog::Follow);
    filterText->installEventFilter(this);
    chapterList->installEventFilter(this);
}

void JumpDialog::ShowAfresh()
{
    {
        const QSignalBlocker quiet(filterText);
        filterText->clear();
    }
    chapters_->SetFilter(QString());
    SelectChapter(CurrentChapter());
    show();
    raise();
    activateWindow();
    filterText->setFocus();
}

int JumpDialog::CurrentChapter() const
{
    const ReaderState& state = reader_.State();
    return state.Books.IsBook(state.CurrentBook) ? state.Books[state.CurrentBook].ChapterIndex : -1;
}

int JumpDialog::SelectedChapter() const
{
    return chapters_->ChapterAt(chapterList->currentIndex().row());
}

void JumpDialog::SelectChapter(int chapter)
{
    int row = chapters_->RowOf(chapter);
    if (row < 0 && chapters_->rowCount() > 0)
        row = 0;
    const QModelIndex index = chapters_->index(row);
    chapterList->setCurrentIndex(index);
    if (index.isValid())
        chapterList->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void JumpDialog::OnFilterTextChanged()
{
    const int selected = SelectedChapter();
    chapters_->SetFilter(filterText->text());
    // A typed number goes to that chapter; otherwise the selection stays
    // while it is still listed.
    const int named = chapters_->NamedChapter();
    SelectChapter(named >= 0 ? named : selected);
}

void JumpDialog::Follow()
{
    if (chapters_->Sync())
        SelectChapter(CurrentChapter());
}

void JumpDialog::Choose()
{
    if (chapters_->Sync()) {
        SelectChapter(CurrentChapter());
        return;
    }
    const int chapter = SelectedChapter();
    if (chapter < 0)
        return;
    accept();
    reader_.GoToChapter(chapter);
}

void JumpDialog::done(int result)
{
    QDialog::done(result);
    if (QWidget* owner = parentWidget())
        owner->activateWindow();
}

bool JumpDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == chapterList && IsEnter(*key)) {
            Choose();
            return true;
        }
        // The filter box keeps the focus; the keys that move through a list
        // move through the chapters.
        if (watched == filterText) {
            switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: QCoreApplication::sendEvent(chapterList, event); return true;
            default: break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void JumpDialog::showEvent(QShowEvent* event)
{
    followTimer->start();
    QDialog::showEvent(event);
}

void JumpDialog::hideEvent(QHideEvent* event)
{
    followTimer->stop();
    QDialog::hideEvent(event);
}
