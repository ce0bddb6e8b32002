#include "ui/widgets/reading_pane.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// The widget keeps line breaks as single positions.
QString ForWidget(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

}  // namespace

ReadingPane::ReadingPane(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    connect(document(), &QTextDocument::contentsChange, this, &ReadingPane::OnContentsChange);
}

const QString& ReadingPane::Text() const
{
    if (textStale_) {
        // Only after the user deleted text in the pane: read it back once.
        text_ = toPlainText().replace(u'\n', QStringLiteral("\r\n"));
        textStale_ = false;
        linesStale_ = true;
    }
    return text_;
}

void ReadingPane::SetText(const QString& text)
{
    text_ = text;
    textStale_ = false;
    linesStale_ = true;
    Show(text_);
}

void ReadingPane::AppendText(const QString& text)
{
    SetText(Text() + text);
}

void ReadingPane::Show(const QString& text)
{
    settingText_ = true;
    setPlainText(ForWidget(text));
    settingText_ = false;
}

void ReadingPane::OnContentsChange(int, int, int)
{
    if (!settingText_)
        textStale_ = true;
}

const ReadingPane::LineTable& ReadingPane::Lines() const
{
    const QString& text = Text();
    if (linesStale_) {
        lines_ = LineTable();
        qsizetype start = 0;
        qsizetype widgetStart = 0;
        for (qsizetype i = 0;; ++i) {
            if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
                continue;
            lines_.starts.push_back(start);
            lines_.ends.push_back(i);
            lines_.widgetStarts.push_back(widgetStart);
            if (i >= text.size())
                break;
            const qsizetype next = (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? i + 2 : i + 1;
            widgetStart += (i - start) + 1;  // the line and its one-position break
            start = next;
            i = next - 1;
        }
        linesStale_ = false;
    }
    return lines_;
}

// Reader offset -> widget position. An offset inside a CR LF stands before
// the line break.
qsizetype ReadingPane::WidgetPosition(qsizetype offset) const
{
    const LineTable& lines = Lines();
    offset = std::clamp<qsizetype>(offset, 0, Text().size());
    const auto line = std::upper_bound(lines.starts.begin(), lines.starts.end(), offset) - lines.starts.begin() - 1;
    return lines.widgetStarts[line] + std::min(offset, lines.ends[line]) - lines.starts[line];
}

qsizetype ReadingPane::ReaderOffset(qsizetype position) const
{
    const LineTable& lines = Lines();
    position = std::max<qsizetype>(position, 0);
    const auto line = std::upper_bound(lines.widgetStarts.begin(), lines.widgetStarts.end(), position)
        - lines.widgetStarts.begin() - 1;
    return std::min(lines.starts[line] + position - lines.widgetStarts[line], lines.ends[line]);
}

qsizetype ReadingPane::SelStart() const
{
    return ReaderOffset(textCursor().selectionStart());
}

void ReadingPane::SetSelStart(qsizetype offset)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(static_cast<int>(WidgetPosition(offset)));
    setTextCursor(cursor);
}

qsizetype ReadingPane::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return ReaderOffset(cursor.selectionEnd()) - ReaderOffset(cursor.selectionStart());
}

void ReadingPane::SetSelLength(qsizetype length)
{
    QTextCursor cursor = textCursor();
    const qsizetype start = ReaderOffset(cursor.selectionStart());
    cursor.setPosition(static_cast<int>(WidgetPosition(start)));
    cursor.setPosition(static_cast<int>(WidgetPosition(start + std::max<qsizetype>(length, 0))),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void ReadingPane::keyPressEvent(QKeyEvent* event)
{
    // Keys that type a character go through the key-press handler first;
    // Delete, arrows and paging keys keep their normal effect.
    const QString typed = event->text();
    if (!typed.isEmpty() && event->key() != Qt::Key_Delete) {
        int character = typed.front().unicode();
        emit KeyPress(character);
        if (character == 0)
            return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ReadingPane::inputMethodEvent(QInputMethodEvent* event)
{
    // Text composed by an input method is typed text too.
    if (!event->commitString().isEmpty()) {
        int character = event->commitString().front().unicode();
        emit KeyPress(character);
        if (character == 0) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::inputMethodEvent(event);
}
