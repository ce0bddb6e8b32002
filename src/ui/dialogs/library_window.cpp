#include "ui/dialogs/library_window.h"

#include "core/library/library_folder.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/bookmark_model.h"
#include "ui/widgets/library_model.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {

const QString kCaption = QStringLiteral("提示");

QAction* MakeAction(const QString& text, const QString& name, QWidget* owner)
{
    auto* action = new QAction(text, owner);
    action->setObjectName(name);
    owner->addAction(action);
    return action;
}

QPushButton* ButtonFor(QAction* action, QWidget* parent)
{
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(action->objectName().replace(QStringLiteral("Action"), QStringLiteral("Button")));
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

// A table of whole rows that never edits on its own and whose rows keep one
// height, so that ten thousand of them lay out at once.
QTableView* MakeTable(const QString& name, QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    return table;
}

}  // namespace

LibraryWindow::LibraryWindow(LibraryStore& store, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , store_(store)
    , prompter_(prompter)
    , books_(new LibraryModel(this))
    , shownBooks_(new LibraryFilterModel(*books_, this))
    , bookmarks_(new BookmarkModel(this))
{
    setObjectName(QStringLiteral("libraryWindow"));
    setWindowTitle(QStringLiteral("书架"));
    libraryTabs = new QTabWidget(this);
    libraryTabs->setObjectName(QStringLiteral("libraryTabs"));
    libraryTabs->addTab(MakeBooksTab(), QStringLiteral("书架"));
    libraryTabs->addTab(MakeBookmarksTab(), QStringLiteral("书签"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(libraryTabs);
    resize(1000, 640);
    Refresh();
}

LibraryWindow::~LibraryWindow()
{
    stopFolderSearch_ = true;
    folderSearch_.waitForFinished();
}

QWidget* LibraryWindow::MakeBooksTab()
{
    auto* tab = new QWidget(this);
    libraryFilter = new QLineEdit(tab);
    libraryFilter->setObjectName(QStringLiteral("libraryFilter"));
    libraryFilter->setPlaceholderText(QStringLiteral("按书名或文件夹筛选"));
    libraryFilter->setClearButtonEnabled(true);
    bookCount = new QLabel(tab);
    bookCount->setObjectName(QStringLiteral("bookCount"));

    bookTable = MakeTable(QStringLiteral("bookTable"), tab);
    bookTable->setModel(shownBooks_);
    bookTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    bookTable->setSortingEnabled(true);
    bookTable->sortByColumn(LibraryModel::LastReadColumn, Qt::DescendingOrder);
    for (const auto& [column, width] : {std::pair{LibraryModel::TitleColumn, 240},
                                        {LibraryModel::ProgressColumn, 180},
                                        {LibraryModel::LastReadColumn, 130},
                                        {LibraryModel::AddedColumn, 130},
                                        {LibraryModel::ChaptersColumn, 60},
                                        {LibraryModel::SizeColumn, 80},
                                        {LibraryModel::EncodingColumn, 80}})
        bookTable->setColumnWidth(column, width);

    openAction = MakeAction(QStringLiteral("打开"), QStringLiteral("openAction"), bookTable);
    removeAction = MakeAction(QStringLiteral("从书架移除"), QStringLiteral("removeAction"), bookTable);
    removeAction->setShortcut(QKeySequence::Delete);
    removeAction->setShortcutContext(Qt::WidgetShortcut);
    relocateAction = MakeAction(QStringLiteral("重新定位…"), QStringLiteral("relocateAction"), bookTable);
    addFolderAction = MakeAction(QStringLiteral("添加文件夹…"), QStringLiteral("addFolderAction"), bookTable);
    connect(addFolderAction, &QAction::triggered, this, &LibraryWindow::AddFolder);
    connect(&folderSearch_, &QFutureWatcher<QList<LibraryBook>>::finished, this, &LibraryWindow::AddFoundBooks);
    connect(openAction, &QAction::triggered, this, &LibraryWindow::OpenCurrent);
    connect(removeAction, &QAction::triggered, this, &LibraryWindow::RemoveSelected);
    connect(relocateAction, &QAction::triggered, this, [this] {
        const QString moved = RelocateCurrent();
        if (!moved.isEmpty())
            SelectBook(moved);
    });
    // Enter, or a double click (a single click where the desktop opens so).
    connect(bookTable, &QAbstractItemView::activated, this, &LibraryWindow::OpenCurrent);
    connect(libraryFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        shownBooks_->SetFilterText(text);
        UpdateActions();
    });
    connect(libraryFilter, &QLineEdit::returnPressed, this, [this] {
        if (!bookTable->currentIndex().isValid() && shownBooks_->rowCount() > 0)
            bookTable->setCurrentIndex(shownBooks_->index(0, 0));
        OpenCurrent();
    });
    connect(bookTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &LibraryWindow::UpdateActions);
    connect(bookTable->selectionModel(), &QItemSelectionModel::currentChanged, this, &LibraryWindow::UpdateActions);

    auto* top = new QHBoxLayout;
    top->addWidget(libraryFilter, 1);
    top->addWidget(bookCount);
    auto* buttons = new QHBoxLayout;
    for (QAction* action : {openAction, removeAction, relocateAction, addFolderAction})
        buttons->addWidget(ButtonFor(action, tab));
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(bookTable, 1);
    layout->addLayout(buttons);
    return tab;
}

QWidget* LibraryWindow::MakeBookmarksTab()
{
    auto* tab = new QWidget(this);
    bookmarkTable = MakeTable(QStringLiteral("bookmarkTable"), tab);
    bookmarkTable->setModel(bookmarks_);
    bookmarkTable->setSelectionMode(QAbstractItemView::SingleSelection);
    bookmarkTable->setColumnWidth(BookmarkModel::BookColumn, 180);
    bookmarkTable->setColumnWidth(BookmarkModel::ChapterColumn, 160);
    bookmarkTable->setColumnWidth(BookmarkModel::ExcerptColumn, 300);
    bookmarkTable->setColumnWidth(BookmarkModel::NoteColumn, 180);

    jumpAction = MakeAction(QStringLiteral("跳转"), QStringLiteral("jumpAction"), bookmarkTable);
    editNoteAction = MakeAction(QStringLiteral("修改备注"), QStringLiteral("editNoteAction"), bookmarkTable);
    deleteBookmarkAction = MakeAction(QStringLiteral("删除"), QStringLiteral("deleteBookmarkAction"), bookmarkTable);
    deleteBookmarkAction->setShortcut(QKeySequence::Delete);
    deleteBookmarkAction->setShortcutContext(Qt::WidgetShortcut);
    connect(jumpAction, &QAction::triggered, this, &LibraryWindow::JumpToBookmark);
    connect(editNoteAction, &QAction::triggered, this, &LibraryWindow::EditBookmarkNote);
    connect(deleteBookmarkAction, &QAction::triggered, this, &LibraryWindow::DeleteBookmark);
    connect(bookmarkTable, &QAbstractItemView::activated, this, &LibraryWindow::JumpToBookmark);
    connect(bookmarks_, &BookmarkModel::NoteEdited, this, &LibraryWindow::StoreNote);
    connect(bookmarkTable->selectionModel(), &QItemSelectionModel::currentChanged, this, &LibraryWindow::UpdateActions);

    auto* buttons = new QHBoxLayout;
    for (QAction* action : {jumpAction, editNoteAction, deleteBookmarkAction})
        buttons->addWidget(ButtonFor(action, tab));
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(bookmarkTable, 1);
    layout->addLayout(buttons);
    return tab;
}

void LibraryWindow::ShowBookmarks()
{
    libraryTabs->setCurrentIndex(libraryTabs->count() - 1);
}

void LibraryWindow::Refresh()
{
    const QString current = CurrentPath();
    const QModelIndex mark = bookmarkTable->currentIndex();
    const qint64 markId = mark.isValid() ? bookmarks_->BookmarkAt(mark.row()).id : 0;

    books_->SetBooks(store_.Books());
    bookmarks_->SetBookmarks(store_.Bookmarks());
    if (!current.isEmpty())
        SelectBook(current);
    if (const int row = bookmarks_->RowOf(markId); row >= 0)
        bookmarkTable->setCurrentIndex(bookmarks_->index(row, 0));
    UpdateActions();
}

QString LibraryWindow::CurrentPath() const
{
    const LibraryBook* book = shownBooks_->BookAt(bookTable->currentIndex().row());
    return book ? book->path : QString();
}

QList<LibraryBook> LibraryWindow::SelectedBooks() const
{
    QList<LibraryBook> books;
    for (const QModelIndex& row : bookTable->selectionModel()->selectedRows()) {
        if (const LibraryBook* book = shownBooks_->BookAt(row.row()))
            books.append(*book);
    }
    if (books.isEmpty()) {
        if (const LibraryBook* book = shownBooks_->BookAt(bookTable->currentIndex().row()))
            books.append(*book);
    }
    return books;
}

void LibraryWindow::SelectBook(const QString& path)
{
    const int row = books_->RowOf(path);
    if (row < 0)
        return;
    const QModelIndex shown = shownBooks_->mapFromSource(books_->index(row, 0));
    if (!shown.isValid())
        return;
    bookTable->selectionModel()->setCurrentIndex(shown,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    bookTable->scrollTo(shown);
}

void LibraryWindow::UpdateActions()
{
    const QModelIndex current = bookTable->currentIndex();
    const bool one = current.isValid();
    openAction->setEnabled(one);
    removeAction->setEnabled(one || bookTable->selectionModel()->hasSelection());
    relocateAction->setEnabled(one && books_->IsMissing(shownBooks_->mapToSource(current).row()));
    const bool mark = bookmarkTable->currentIndex().isValid();
    for (QAction* action : {jumpAction, editNoteAction, deleteBookmarkAction})
        action->setEnabled(mark);
    bookCount->setText(shownBooks_->rowCount() == books_->rowCount()
                           ? QStringLiteral("共 %1 本").arg(books_->rowCount())
                           : QStringLiteral("%1 / %2 本").arg(shownBooks_->rowCount()).arg(books_->rowCount()));
}

void LibraryWindow::OpenCurrent()
{
    const QModelIndex current = bookTable->currentIndex();
    const LibraryBook* book = shownBooks_->BookAt(current.row());
    if (!book)
        return;
    QString path = book->path;
    if (books_->IsMissing(shownBooks_->mapToSource(current).row())) {
        const auto answer =
            prompter_.Message(QStringLiteral("《%1》的文件不见了：\n%2\n\n要重新定位吗？").arg(book->Title(), path),
                              kCaption, Prompter::Icon::Question, Prompter::Buttons::YesNo, this);
        if (answer != Prompter::Answer::Yes)
            return;
        path = RelocateCurrent();
        if (path.isEmpty())
            return;
    }
    emit OpenRequested(path);
}

void LibraryWindow::RemoveSelected()
{
    const QList<LibraryBook> books = SelectedBooks();
    if (books.isEmpty())
        return;
    qsizetype marks = 0;
    for (const LibraryBook& book : books)
        marks += store_.Bookmarks(book.path).size();
    QString question = books.size() == 1 ? QStringLiteral("从书架移除《%1》？").arg(books.first().Title())
                                         : QStringLiteral("从书架移除这 %1 本书？").arg(books.size());
    if (marks > 0)
        question += QStringLiteral("\n其中的 %1 个书签也会一并删除。").arg(marks);
    question += QStringLiteral("\n文件本身不会被删除。");
    if (prompter_.Message(question, kCaption, Prompter::Icon::Question, Prompter::Buttons::YesNo, this)
        != Prompter::Answer::Yes)
        return;
    for (const LibraryBook& book : books) {
        const FileWriteResult removed = store_.RemoveBook(book.path);
        if (!removed) {
            TellFailure(removed);
            break;
        }
    }
    Refresh();
}

void LibraryWindow::AddFolder()
{
    if (folderSearch_.isRunning())
        return;
    const std::optional<QString> folder = prompter_.PickFolder(lastFolder_);
    if (!folder)
        return;
    lastFolder_ = *folder;
    addFolderAction->setEnabled(false);
    bookCount->setText(QStringLiteral("正在查找书…"));
    stopFolderSearch_ = false;
    folderSearch_.setFuture(QtConcurrent::run(BooksInFolder, *folder, &stopFolderSearch_));
}

void LibraryWindow::AddFoundBooks()
{
    addFolderAction->setEnabled(true);
    if (stopFolderSearch_)
        return;
    const QList<LibraryBook> found = folderSearch_.result();
    int added = 0;
    const FileWriteResult written = store_.AddBooks(found, &added);
    Refresh();
    if (!written) {
        TellFailure(written);
        return;
    }
    prompter_.Message(QStringLiteral("在“%1”中找到 %2 本书，新加入书架 %3 本。")
                          .arg(QDir::toNativeSeparators(lastFolder_))
                          .arg(found.size())
                          .arg(added),
                      QStringLiteral("书架"), Prompter::Icon::Information);
}

QString LibraryWindow::RelocateCurrent()
{
    const LibraryBook* book = shownBooks_->BookAt(bookTable->currentIndex().row());
    if (!book)
        return {};
    const QString from = book->path;
    const std::optional<QString> to = prompter_.OpenFile(QStringLiteral("文本文件|*.txt|所有文件|*"), 0, this);
    if (!to || to->isEmpty())
        return {};
    const FileWriteResult moved = store_.MoveBook(from, *to);
    if (!moved) {
        TellFailure(moved);
        return {};
    }
    Refresh();
    return *to;
}

void LibraryWindow::JumpToBookmark()
{
    const QModelIndex current = bookmarkTable->currentIndex();
    if (current.isValid())
        emit BookmarkRequested(bookmarks_->BookmarkAt(current.row()));
}

void LibraryWindow::EditBookmarkNote()
{
    const QModelIndex current = bookmarkTable->currentIndex();
    if (!current.isValid())
        return;
    const QModelIndex note = bookmarks_->index(current.row(), BookmarkModel::NoteColumn);
    bookmarkTable->setCurrentIndex(note);
    bookmarkTable->edit(note);
}

void LibraryWindow::StoreNote(qint64 id, const QString& note)
{
    const FileWriteResult written = store_.SetBookmarkNote(id, note);
    if (written)
        return;
    TellFailure(written);
    // The row shows the note typed; show the stored one again once the
    // editor has closed.
    QMetaObject::invokeMethod(this, &LibraryWindow::Refresh, Qt::QueuedConnection);
}

void LibraryWindow::DeleteBookmark()
{
    const QModelIndex current = bookmarkTable->currentIndex();
    if (!current.isValid())
        return;
    const Bookmark mark = bookmarks_->BookmarkAt(current.row());
    const QString where = mark.chapterTitle.isEmpty()
        ? LibraryBook{.path = mark.path}.Title()
        : LibraryBook{.path = mark.path}.Title() + QLatin1Char(' ') + mark.chapterTitle;
    if (prompter_.Message(QStringLiteral("删除书签“%1”？").arg(where), kCaption, Prompter::Icon::Question,
                          Prompter::Buttons::YesNo, this)
        != Prompter::Answer::Yes)
        return;
    const FileWriteResult removed = store_.RemoveBookmark(mark.id);
    if (!removed)
        TellFailure(removed);
    Refresh();
}

void LibraryWindow::TellFailure(const FileWriteResult& result)
{
    prompter_.Message(QStringLiteral("书架没有改动：%1").arg(result.reason), QStringLiteral("错误提示"),
                      Prompter::Icon::Exclamation, Prompter::Buttons::Ok, this);
}
