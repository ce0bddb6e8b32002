#pragma once

#include "core/books/search_text.h"

#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class Prompter;
class QRadioButton;
class Reader;

// The find dialog. Modeless; it hides after every search and keeps its
// text, scope and cursor until it is shown again. Closing it with the
// close box discards it (Discarded), so the next one starts afresh.
class FindDialog : public QWidget {
    Q_OBJECT
public:
    FindDialog(Reader& reader, Prompter& prompter, QWidget* parent);

    // Where the next search starts: book, chapter and offset.
    const SearchCursor& Cursor() const { return cursor_; }
    QLineEdit& FindText() const { return *findText; }
    QRadioButton& DownwardScope() const { return *downwardScope; }
    QRadioButton& BookScope() const { return *bookScope; }
    QRadioButton& AllBooksScope() const { return *allBooksScope; }
    QPushButton& FindButton() const { return *findButton; }

signals:
    void Discarded();

public slots:
    void OnDownwardScopeChosen();
    void OnBookScopeChosen();
    void OnAllBooksScopeChosen();
    void OnFindTextChanged();
    void Find();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    SearchScope Scope() const;
    // The current book's position: its ChapterIndex, or nothing when the
    // current book slot is not there.
    std::optional<std::int64_t> Position() const;
    // A value that is missing leaves that part of the cursor as it was.
    void StoreCursor(std::optional<std::int64_t> book, std::optional<std::int64_t> chapter,
                     std::optional<std::int64_t> offset);
    void ShowError(int number);

    // Whether the user has moved the caret (or gone elsewhere) since the
    // last hit: a downward search then starts at the caret.
    bool MovedSinceLastHit() const;

    Reader& reader_;
    Prompter& prompter_;
    SearchCursor cursor_;
    struct Hit {
        int book = 0;
        std::int64_t chapter = 0;
        qsizetype start = 0;
        qsizetype end = 0;
    };
    std::optional<Hit> lastHit_;

    QLabel* findLabel;
    QLineEdit* findText;
    QRadioButton* downwardScope;
    QRadioButton* bookScope;
    QRadioButton* allBooksScope;
    QPushButton* findButton;
};
