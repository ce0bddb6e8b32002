#include "ui/dialogs/find_dialog.h"

#include "core/reading/reader.h"
#include "ui/platform/prompter.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

// The hits listed, with the name of the book each is in.
class FindResults : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Reset(QStringList bookNames)
    {
        beginResetModel();
        hits_.clear();
        names_ = std::move(bookNames);
        endResetModel();
    }
    void Append(QList<FoundHit> hits)
    {
        if (hits.isEmpty())
            return;
        beginInsertRows({}, static_cast<int>(hits_.size()), static_cast<int>(hits_.size() + hits.size() - 1));
        hits_.append(std::move(hits));
        endInsertRows();
    }
    const QList<FoundHit>& Hits() const { return hits_; }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(hits_.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const FoundHit& hit = hits_[index.row()];
        switch (index.column()) {
        case 0: return hit.book >= 0 && hit.book < names_.size() ? names_[hit.book] : QString();
        case 1: return hit.title;
        default: return hit.context;
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        const char16_t* const captions[] = {u"书名", u"章节", u"内容"};
        return QString::fromUtf16(captions[std::clamp(section, 0, 2)]);
    }

private:
    QList<FoundHit> hits_;
    QStringList names_;
};

// A search for every hit: the worker stops when `stop` is set.
struct FindDialog::Run {
    std::atomic<bool> stop{false};
};

FindDialog::FindDialog(Reader& reader, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , reader_(reader)
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("查找"));

    findLabel = new QLabel(QStringLiteral("查找文本"), this);
    findLabel->setObjectName(QStringLiteral("findLabel"));
    findText = new QLineEdit(this);
    findText->setObjectName(QStringLiteral("findText"));
    findLabel->setBuddy(findText);
    findButton = new QPushButton(QStringLiteral("查找(&N)"), this);
    findButton->setObjectName(QStringLiteral("findButton"));
    previousButton = new QPushButton(QStringLiteral("上一个"), this);
    previousButton->setObjectName(QStringLiteral("previousButton"));
    findAllButton = new QPushButton(QStringLiteral("全部"), this);
    findAllButton->setObjectName(QStringLiteral("findAllButton"));
    stopButton = new QPushButton(QStringLiteral("停止"), this);
    stopButton->setObjectName(QStringLiteral("stopButton"));
    stopButton->setEnabled(false);

    downwardScope = new QRadioButton(QStringLiteral("向下查找"), this);
    downwardScope->setObjectName(QStringLiteral("downwardScope"));
    bookScope = new QRadioButton(QStringLiteral("全文查找"), this);
    bookScope->setObjectName(QStringLiteral("bookScope"));
    allBooksScope = new QRadioButton(QStringLiteral("所有打开文件"), this);
    allBooksScope->setObjectName(QStringLiteral("allBooksScope"));
    libraryScope = new QRadioButton(QStringLiteral("书架"), this);
    libraryScope->setObjectName(QStringLiteral("libraryScope"));
    libraryScope->setVisible(false);
    downwardScope->setChecked(true);

    results_ = new FindResults(this);
    resultsView = new QTreeView(this);
    resultsView->setObjectName(QStringLiteral("resultsView"));
    resultsView->setRootIsDecorated(false);
    resultsView->setUniformRowHeights(true);  // a long list scrolls without measuring every row
    resultsView->setModel(results_);
    resultsView->header()->setStretchLastSection(true);
    resultsStatus = new QLabel(this);
    resultsStatus->setObjectName(QStringLiteral("resultsStatus"));

    // Tab order is creation order: text, buttons, scopes, results.
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(findLabel);
    searchRow->addWidget(findText, 1);
    for (QPushButton* button : {findButton, previousButton, findAllButton, stopButton})
        searchRow->addWidget(button);
    auto* scopeRow = new QHBoxLayout;
    for (QRadioButton* scope : {downwardScope, bookScope, allBooksScope, libraryScope})
        scopeRow->addWidget(scope);
    scopeRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addLayout(scopeRow);
    layout->addWidget(resultsView, 1);
    layout->addWidget(resultsStatus);
    resize(640, 360);
    findText->setFocus();

    // `clicked` comes from the user (mouse, keys, Alt shortcut), not from
    // setChecked, so selecting a scope in code runs no handler.
    connect(downwardScope, &QRadioButton::clicked, this, &FindDialog::OnDownwardScopeChosen);
    connect(bookScope, &QRadioButton::clicked, this, &FindDialog::OnBookScopeChosen);
    connect(allBooksScope, &QRadioButton::clicked, this, &FindDialog::OnAllBooksScopeChosen);
    connect(libraryScope, &QRadioButton::clicked, this, [this] { lastHit_.reset(); });
    connect(findText, &QLineEdit::textChanged, this, &FindDialog::OnFindTextChanged);
    connect(findButton, &QPushButton::clicked, this, &FindDialog::Find);
    connect(previousButton, &QPushButton::clicked, this, &FindDialog::FindPrevious);
    connect(findAllButton, &QPushButton::clicked, this, &FindDialog::FindAll);
    connect(stopButton, &QPushButton::clicked, this, &FindDialog::StopFinding);
    // A click shows a hit, and so does Enter (in the filter): never
    // twice, as `activated` would after a click on some styles.
    connect(resultsView, &QTreeView::clicked, this, &FindDialog::ShowResult);
    resultsView->installEventFilter(this);
    findText->installEventFilter(this);

    // A new panel searches the whole current book from its start.
    StoreCursor(reader_.State().CurrentBook, Position(), 0);
    bookScope->setChecked(true);
    OnBookScopeChosen();
}

FindDialog::~FindDialog()
{
    StopFinding();
    // The workers post to this panel: they end before it goes.
    for (QThread* worker : std::as_const(workers_)) {
        worker->wait();
        delete worker;
    }
}

const QList<FoundHit>& FindDialog::Hits() const
{
    return results_->Hits();
}

void FindDialog::SetLibraryBooks(LibraryBooks books)
{
    libraryBooks_ = std::move(books);
    libraryScope->setVisible(static_cast<bool>(libraryBooks_));
    if (!libraryBooks_ && libraryScope->isChecked()) {
        bookScope->setChecked(true);
        OnBookScopeChosen();
    }
}

void FindDialog::FocusFindText()
{
    findText->setFocus(Qt::ShortcutFocusReason);
    findText->selectAll();
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

SearchCursor FindDialog::ScopeStart() const
{
    const std::int64_t book = reader_.State().CurrentBook;
    switch (Scope()) {
    case SearchScope::Pane: return {book, Position().value_or(0), reader_.SelectionStart()};
    case SearchScope::Book: return {book, 0, 0};
    case SearchScope::AllBooks: return {1, 0, 0};
    }
    return {};
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
    if (libraryScope->isChecked())
        return;
    switch (Scope()) {
    case SearchScope::Pane: StoreCursor(reader_.State().CurrentBook, Position(), 0); break;
    case SearchScope::Book: StoreCursor(reader_.State().CurrentBook, 0, 0); break;
    case SearchScope::AllBooks: StoreCursor(1, 0, 0); break;
    }
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Enter searches like the button; the key itself goes on to the box.
    // In the list it shows the hit at the cursor.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && watched == findText)
            Find();
        if (enter && watched == resultsView) {
            ShowResult(resultsView->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The main window's find keys, here too: the panel is a window of its own.
void FindDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else if (event->matches(QKeySequence::FindNext))
        Find();
    else if (event->matches(QKeySequence::FindPrevious))
        FindPrevious();
    else if (event->matches(QKeySequence::Find))
        FocusFindText();
    else
        QWidget::keyPressEvent(event);
}

void FindDialog::hideEvent(QHideEvent* event)
{
    StopFinding();
    QWidget::hideEvent(event);
}

void FindDialog::Find()
{
    const QString findWhat = findText->text();
    if (findWhat.isEmpty())
        return;
    // The library is searched whole: its hits are listed.
    if (libraryScope->isChecked()) {
        FindAll();
        return;
    }
    // The user clicked elsewhere since the last hit: on from there, not
    // from the hit.
    if (Scope() == SearchScope::Pane && MovedSinceLastHit())
        StoreCursor(reader_.State().CurrentBook, Position(), reader_.SelectionStart());
    lastHit_.reset();
    AfterSearch(reader_.Find(findWhat, Scope(), cursor_), findWhat);
}

void FindDialog::FindPrevious()
{
    const QString findWhat = findText->text();
    if (findWhat.isEmpty())
        return;
    if (libraryScope->isChecked()) {
        FindAll();
        return;
    }
    // Back from the hit shown (from its heading, for a heading hit), or
    // from the caret when the user has gone elsewhere since.
    SearchCursor from;
    if (lastHit_ && !MovedSinceLastHit()) {
        from = {lastHit_->book, lastHit_->chapter, lastHit_->heading ? -1 : lastHit_->start};
    } else {
        const std::int64_t position = Position().value_or(0);
        // The contents view stands before the first chapter.
        from = {reader_.State().CurrentBook, position, position == -1 ? 0 : reader_.SelectionStart()};
    }
    lastHit_.reset();
    AfterSearch(reader_.FindPrevious(findWhat, Scope(), from), findWhat);
}

void FindDialog::AfterSearch(const SearchResult& result, const QString& findWhat)
{
    if (result.error != 0) {
        ShowError(result.error);
        return;
    }
    const ReaderState& state = reader_.State();
    if (!result.found) {
        StoreCursor(state.CurrentBook, Position(), reader_.SelectionStart());
        // The panel stays, so the user can change the text or the scope.
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
    const qsizetype start = reader_.SelectionStart();
    const qsizetype end = reader_.SelectionEnd();
    StoreCursor(state.CurrentBook, *position, end);
    lastHit_ = Hit{state.CurrentBook, *position, start, end, start == end};
}

void FindDialog::ShowError(int number)
{
    prompter_.Message(QString::number(number) + ErrorDescription(number), QStringLiteral("错误提示"),
                      Prompter::Icon::Critical, Prompter::Buttons::Ok);
}

void FindDialog::FindAll()
{
    const QString findWhat = findText->text();
    if (findWhat.isEmpty())
        return;
    // F3 in the main window lists the library's hits: the list shows them.
    show();
    searched_ = findWhat;
    if (libraryScope->isChecked() && libraryBooks_) {
        QList<LibraryFile> files = libraryBooks_();
        QStringList names;
        names.reserve(files.size());
        for (const LibraryFile& file : std::as_const(files))
            names.append(QFileInfo(file.path).fileName());
        Start([files, findWhat](
                  const HitBatch& deliver, const std::function<void(const FindProgress&)>& progress,
                  const std::atomic<bool>& stop) { return FindInFiles(files, findWhat, deliver, progress, stop); },
              names, files);
        return;
    }
    // The worker reads a copy: the chapter texts are shared, not copied,
    // and stay valid whatever the reader opens or closes meanwhile.
    FindAllInput input = reader_.FindAllSnapshot(findWhat, Scope(), ScopeStart());
    QStringList names;
    const ReaderState& state = reader_.State();
    for (int slot = 0; slot <= state.Books.Count(); ++slot)
        names.append(slot == 0 ? QString() : state.Books[slot].FileName);
    Start([input = std::move(input)](const HitBatch& deliver, const std::function<void(const FindProgress&)>&,
                                     const std::atomic<bool>& stop) { return ::FindAll(input, deliver, stop); },
          names, {});
}

void FindDialog::Start(Work work, QStringList bookNames, QList<LibraryFile> files)
{
    StopFinding();
    results_->Reset(std::move(bookNames));
    files_ = std::move(files);
    progress_ = {};
    stopped_ = false;
    auto run = std::make_shared<Run>();
    running_ = run;
    QThread* worker = QThread::create([this, run, work = std::move(work)] {
        const auto deliver = [this, run](QList<FoundHit> hits) {
            QMetaObject::invokeMethod(
                this, [this, run, hits = std::move(hits)]() mutable { Receive(run.get(), std::move(hits)); },
                Qt::QueuedConnection);
        };
        const auto progress = [this, run](const FindProgress& done) {
            QMetaObject::invokeMethod(
                this, [this, run, done] { Progress(run.get(), done); }, Qt::QueuedConnection);
        };
        const FindAllEnd end = work(deliver, progress, run->stop);
        QMetaObject::invokeMethod(
            this, [this, run, end] { Finish(run.get(), end); }, Qt::QueuedConnection);
    });
    workers_.append(worker);
    connect(worker, &QThread::finished, this, [this, worker] {
        workers_.removeOne(worker);
        worker->deleteLater();
    });
    stopButton->setEnabled(true);
    ShowStatus();
    worker->start();
}

void FindDialog::StopFinding()
{
    if (!running_)
        return;
    running_->stop = true;
    running_.reset();
    stopped_ = true;
    stopButton->setEnabled(false);
    ShowStatus();
}

void FindDialog::Receive(const Run* run, QList<FoundHit> hits)
{
    if (run != running_.get())
        return;
    results_->Append(std::move(hits));
    ShowStatus();
}

void FindDialog::Progress(const Run* run, const FindProgress& progress)
{
    if (run != running_.get())
        return;
    progress_ = progress;
    ShowStatus();
}

void FindDialog::Finish(const Run* run, FindAllEnd end)
{
    if (run != running_.get())
        return;
    running_.reset();
    stopButton->setEnabled(false);
    ShowStatus();
    if (end.error != 0)
        ShowError(end.error);
}

void FindDialog::ShowStatus()
{
    const qsizetype count = results_->Hits().size();
    QString status;
    if (running_ && !files_.isEmpty()) {
        constexpr double kMegabyte = 1024.0 * 1024.0;
        status = QStringLiteral("正在查找书架：%1/%2 本，%3/%4 MB，已找到 %5 处")
                     .arg(progress_.filesDone)
                     .arg(progress_.files)
                     .arg(static_cast<double>(progress_.bytesDone) / kMegabyte, 0, 'f', 0)
                     .arg(static_cast<double>(progress_.bytes) / kMegabyte, 0, 'f', 0)
                     .arg(count);
    } else if (running_) {
        status = QStringLiteral("正在查找，已找到 %1 处").arg(count);
    } else if (searched_.isEmpty()) {
        status.clear();
    } else if (stopped_) {
        status = QStringLiteral("已停止，找到 %1 处").arg(count);
    } else if (count == 0) {
        status = QStringLiteral("找不到“") + searched_ + QStringLiteral("”");
    } else {
        status = QStringLiteral("共找到 %1 处").arg(count);
    }
    if (!running_ && progress_.unreadable > 0)
        status += QStringLiteral("，%1 本无法读取").arg(progress_.unreadable);
    resultsStatus->setText(status);
}

void FindDialog::ShowResult(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= results_->Hits().size())
        return;
    const FoundHit hit = results_->Hits()[index.row()];
    if (!files_.isEmpty()) {
        const LibraryFile& file = files_[hit.book];
        emit LibraryHitChosen(file.path, file.encoding, hit.chapter, hit.offset, hit.length);
        return;
    }
    if (!reader_.GoToHit(hit.book, hit.chapter, hit.offset, hit.length))
        return;
    // F3 goes on from the hit shown.
    AfterSearch({true, 0}, searched_);
}
