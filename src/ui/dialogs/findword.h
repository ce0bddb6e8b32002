#pragma once

#include "text/search_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <optional>

class Form4;

// The find dialog. Modeless; it hides after every search and keeps its
// text, scope and cursor until it is shown again. The cursor (book,
// chapter, offset) lives in three invisible labels as decimal text.
// Closing it with the close box discards it.
class findword : public QWidget {
    Q_OBJECT
public:
    explicit findword(Form4& main);

    QLabel* Label1;
    QLineEdit* Text1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QPushButton* Command1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

public slots:
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Text1_Change();
    void Text1_KeyPress(int& character);
    void Command1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    SearchScope Scope() const;
    // The current book's position: its ChapterIndex, or nothing when the
    // current book slot is not there.
    std::optional<std::int64_t> Position() const;
    // Writes the labels; a value that is missing leaves its label as it was.
    void StoreCursor(std::optional<std::int64_t> book, std::optional<std::int64_t> chapter,
                     std::optional<std::int64_t> offset);
    // The stored cursor, or nothing when a label holds no number.
    std::optional<SearchCursor> StoredCursor() const;
    void ShowError(int number);

    Form4& main_;
};
