#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <vector>

// The reading pane. Text is kept as the reader counts it, with CR LF as two
// characters (offsets, "exactly 2 characters", the caret saved in book.ini);
// the widget counts a line break as one position. The copy here is the
// truth, and offsets are converted with a table of line starts.
class ReadingPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ReadingPane(QWidget* parent = nullptr);

    const QString& Text() const;
    void SetText(const QString& text);
    void AppendText(const QString& text);
    qsizetype Length() const { return Text().size(); }

    // Caret and selection in the reader's offsets.
    qsizetype SelStart() const;
    void SetSelStart(qsizetype offset);
    qsizetype SelLength() const;
    void SetSelLength(qsizetype length);

    qsizetype WidgetPosition(qsizetype offset) const;
    qsizetype ReaderOffset(qsizetype position) const;

signals:
    // A key press that types a character; the handler may clear `character`
    // (set it to 0) to keep it out of the pane.
    void KeyPress(int& character);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void Show(const QString& text);
    void OnContentsChange(int position, int removed, int added);
    // Where each line begins and ends in reader offsets, and where it
    // begins in widget positions.
    struct LineTable {
        std::vector<qsizetype> starts, ends, widgetStarts;
    };
    const LineTable& Lines() const;

    mutable QString text_;
    bool settingText_ = false;
    mutable bool textStale_ = false;  // the user edited the widget (Delete)
    mutable LineTable lines_;
    mutable bool linesStale_ = true;
};
