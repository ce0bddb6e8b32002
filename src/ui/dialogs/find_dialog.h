#pragma once

#include "core/books/find_all.h"
#include "core/books/search_text.h"

#include <QList>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class FindResults;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QRadioButton;
class QThread;
class QTreeView;
class Prompter;
class Reader;

// The find panel: a tool window beside the main window, which leaves the
// page as the skin lays it out. It stays open after a hit; 查找(&N) and
// F3 find the next hit, 上一个 and Shift+F3 the previous one, 全部 lists
// every hit of the scope while a worker thread searches a copy of the
// books, and Esc closes it. Closed, it is only hidden: text, scope and
// cursor are there when it is shown again.
class FindDialog : public QWidget {
    Q_OBJECT
public:
    FindDialog(Reader& reader, Prompter& prompter, QWidget* parent);
    ~FindDialog() override;

    // Where the next search starts: book, chapter and offset.
    const SearchCursor& Cursor() const { return cursor_; }
    QLineEdit& FindText() const { return *findText; }
    QRadioButton& DownwardScope() const { return *downwardScope; }
    QRadioButton& BookScope() const { return *bookScope; }
    QRadioButton& AllBooksScope() const { return *allBooksScope; }
    QRadioButton& LibraryScope() const { return *libraryScope; }
    QPushButton& FindButton() const { return *findButton; }
    QPushButton& PreviousButton() const { return *previousButton; }
    QPushButton& FindAllButton() const { return *findAllButton; }
    QPushButton& StopButton() const { return *stopButton; }
    QTreeView& ResultsView() const { return *resultsView; }
    QLabel& ResultsStatus() const { return *resultsStatus; }
    // The hits listed so far, in order.
    const QList<FoundHit>& Hits() const;
    // Whether a search for every hit is under way.
    bool Searching() const { return running_ != nullptr; }

    // The books of the library, read when a search of the whole library
    // starts. Without it the panel offers no 书架 scope.
    using LibraryBooks = std::function<QList<LibraryFile>()>;
    void SetLibraryBooks(LibraryBooks books);

    // Focuses the text box with its text selected, to be typed over.
    void FocusFindText();

signals:
    // A hit of the library was chosen: the main window opens the book and
    // shows it (offset -1: a chapter's heading).
    void LibraryHitChosen(const QString& path, EncodingChoice encoding, int chapter, qsizetype offset,
                          qsizetype length);

public slots:
    void OnDownwardScopeChosen();
    void OnBookScopeChosen();
    void OnAllBooksScopeChosen();
    void OnFindTextChanged();
    void Find();
    void FindPrevious();
    void FindAll();
    void StopFinding();
    void ShowResult(const QModelIndex& index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Run;

    SearchScope Scope() const;
    // The current book's position: its ChapterIndex, or nothing when the
    // current book slot is not there.
    std::optional<std::int64_t> Position() const;
    // A value that is missing leaves that part of the cursor as it was.
    void StoreCursor(std::optional<std::int64_t> book, std::optional<std::int64_t> chapter,
                     std::optional<std::int64_t> offset);
    void ShowError(int number);
    void AfterSearch(const SearchResult& result, const QString& findWhat);
    // Whether the user has moved the caret (or gone elsewhere) since the
    // last hit: a downward search then starts at the caret.
    bool MovedSinceLastHit() const;
    // Where the scope starts, as choosing it stores the cursor.
    SearchCursor ScopeStart() const;

    // Runs `work` on a worker thread; its batches and progress come back
    // to this thread, those of a run stopped since are dropped.
    using Work = std::function<FindAllEnd(const HitBatch&, const std::function<void(const FindProgress&)>&,
                                          const std::atomic<bool>&)>;
    void Start(Work work, QStringList bookNames, QList<LibraryFile> files);
    void Receive(const Run* run, QList<FoundHit> hits);
    void Progress(const Run* run, const FindProgress& progress);
    void Finish(const Run* run, FindAllEnd end);
    void ShowStatus();

    Reader& reader_;
    Prompter& prompter_;
    SearchCursor cursor_;
    struct Hit {
        int book = 0;
        std::int64_t chapter = 0;
        qsizetype start = 0;
        qsizetype end = 0;
        bool heading = false;
    };
    std::optional<Hit> lastHit_;
    LibraryBooks libraryBooks_;

    std::shared_ptr<Run> running_;
    // Every worker not finished yet, stopped ones included: the panel
    // waits for them when it goes.
    QList<QThread*> workers_;
    QString searched_;
    FindProgress progress_;
    bool stopped_ = false;
    QList<LibraryFile> files_;

    QLabel* findLabel;
    QLineEdit* findText;
    QRadioButton* downwardScope;
    QRadioButton* bookScope;
    QRadioButton* allBooksScope;
    QRadioButton* libraryScope;
    QPushButton* findButton;
    QPushButton* previousButton;
    QPushButton* findAllButton;
    QPushButton* stopButton;
    QTreeView* resultsView;
    QLabel* resultsStatus;
    FindResults* results_;
};
