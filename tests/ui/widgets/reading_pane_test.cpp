#include "ui/widgets/reading_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace {

// Lines of the same length, so line k starts at k * kLineLength.
constexpr qsizetype kLineLength = 6;  // "行001" CR LF
QString NumberedLines(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("行%1\r\n").arg(i, 3, 10, QChar(u'0'));
    return text;
}

// Paragraphs of CJK long enough to wrap, with empty lines between them.
QString Paragraphs(int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("　　");
        for (int j = 0; j < 12; ++j)
            text += QStringLiteral("却说封肃因听见公差传唤，忙出来陪笑启问。");
        text += QStringLiteral("\r\n\r\n");
    }
    return text;
}

class Pane : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont font(QStringLiteral("宋体"));
        font.setPointSizeF(14);
        pane.setFont(font);
        pane.resize(420, 300);
        pane.show();
    }

    QImage Shown() { return pane.viewport()->grab().toImage(); }
    qreal LineHeight() const { return QFontMetricsF(pane.font()).lineSpacing(); }
    // Where a click at the left and at the right end of a line on screen
    // puts the caret.
    std::pair<qsizetype, qsizetype> ClickedLine(qreal y)
    {
        QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, QPoint(1, int(y)));
        const qsizetype start = pane.SelStart();
        QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, QPoint(pane.viewport()->width() - 1, int(y)));
        return {start, pane.SelStart()};
    }

    ReadingPane pane;
};

bool HasText(const QImage& image, const QColor& paper)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != paper)
                return true;
        }
    }
    return false;
}

TEST_F(Pane, LaysOutOnlyWhatIsShownOfALineWithoutBreakPoints)
{
    // One line of 1 MiB: a text layout breaks it in quadratic time, so only
    // the pieces on screen may be laid out.
    const QString line(1 << 20, u'a');
    const qsizetype before = pane.CharactersLaidOut();
    pane.SetText(line);
    EXPECT_TRUE(HasText(Shown(), pane.palette().color(QPalette::Base)));
    // A piece at the top, one at the end for the scroll bar's range.
    EXPECT_LT(pane.CharactersLaidOut() - before, line.size() / 32);

    const qsizetype middle = line.size() / 2 + 17;
    pane.ScrollToOffset(middle);
    Shown();
    EXPECT_LT(pane.CharactersLaidOut() - before, line.size() / 16);
    const auto [start, end] = ClickedLine(LineHeight() / 2);
    EXPECT_EQ(start, pane.FirstVisibleOffset());
    EXPECT_LE(start, middle);
    EXPECT_GT(end, middle);
}

TEST_F(Pane, ShowingTheSameTextAgainKeepsItsLayoutsAndPutsTheViewAtTheTop)
{
    const QString chapter = Paragraphs(40);
    QSignalSpy changed(&pane, &ReadingPane::TextChanged);
    pane.SetText(chapter);
    Shown();
    pane.SetSelStart(chapter.size() / 2);
    Shown();
    ASSERT_GT(pane.FirstVisibleOffset(), 0);
    const qsizetype laidOut = pane.CharactersLaidOut();

    const QString again = chapter;  // the book's string, shared
    pane.SetText(again);
    Shown();
    EXPECT_EQ(pane.CharactersLaidOut(), laidOut);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(pane.SelStart(), 0);
    EXPECT_EQ(pane.FirstVisibleOffset(), 0);
    EXPECT_EQ(pane.verticalScrollBar()->value(), 0);

    // Equal text in storage of its own is new text to the pane.
    pane.SetText(QString(chapter.constData(), chapter.size()));
    Shown();
    EXPECT_GT(pane.CharactersLaidOut(), laidOut);
}

TEST_F(Pane, ChapterOfManyShortLinesScrollsToItsEnd)
{
    QString chapter;
    for (int i = 0; i < 200'000; ++i)
        chapter += QStringLiteral("嗯\r\n");
    const qsizetype before = pane.CharactersLaidOut();
    pane.SetText(chapter);
    Shown();
    EXPECT_EQ(pane.Length(), 600'000);
    EXPECT_LT(pane.CharactersLaidOut() - before, 100);  // a screen at the top, one at the end

    pane.SetSelStart(pane.Length() - 1);  // between the last CR and LF
    Shown();
    EXPECT_EQ(pane.SelStart(), pane.Length() - 2);
    EXPECT_EQ(pane.FirstVisibleOffset(), pane.verticalScrollBar()->maximum());
    EXPECT_GT(pane.FirstVisibleOffset(), pane.Length() - 3 * 30);
    EXPECT_LT(pane.CharactersLaidOut() - before, 200);
    EXPECT_EQ(pane.WidgetPosition(pane.Length()), 400'000);
}

TEST_F(Pane, SelectionCountsALineBreakAsTwoCharacters)
{
    pane.SetText(QStringLiteral("甲乙\r\n丙丁\r戊\n"));
    pane.SetSelStart(1);
    pane.SetSelLength(4);
    EXPECT_EQ(pane.SelStart(), 1);
    EXPECT_EQ(pane.SelLength(), 4);
    EXPECT_EQ(pane.SelectedText(), QStringLiteral("乙\n丙"));
    pane.SetSelLength(2);  // would end between CR and LF: stops before the break
    EXPECT_EQ(pane.SelLength(), 1);
    pane.SetSelStart(4);
    pane.SetSelLength(100);
    EXPECT_EQ(pane.SelLength(), pane.Length() - 4);
    EXPECT_EQ(pane.SelectedText(), QStringLiteral("丙丁\n戊\n"));
    pane.SetSelLength(-2);
    EXPECT_EQ(pane.SelLength(), 0);

    pane.SetText(QString());
    pane.AppendText(QStringLiteral("\r\n"));
    EXPECT_EQ(pane.Length(), 2);
}

TEST_F(Pane, ScrolledOffsetStaysInTheTopLineThroughFontAndWidthChanges)
{
    const QString chapter = Paragraphs(30);
    const qsizetype offset = chapter.size() / 2 + 11;
    ASSERT_NE(chapter[offset], u'\r');
    const auto expectAtTop = [&](const char* when) {
        const auto [start, end] = ClickedLine(LineHeight() / 2);
        EXPECT_EQ(start, pane.FirstVisibleOffset()) << when;
        EXPECT_LE(start, offset) << when;
        EXPECT_GT(end, offset) << when;
    };
    pane.SetText(chapter);
    pane.ScrollToOffset(offset);
    expectAtTop("scrolled");
    QFont larger = pane.font();
    larger.setPointSizeF(18);
    pane.setFont(larger);
    expectAtTop("after a larger font");
    pane.resize(300, 260);
    expectAtTop("after a narrower pane");

    // Near the end the view stops at the last full page.
    pane.ScrollToOffset(chapter.size());
    EXPECT_EQ(pane.FirstVisibleOffset(), pane.verticalScrollBar()->maximum());
    EXPECT_LT(pane.FirstVisibleOffset(), chapter.size());
}

TEST_F(Pane, WheelArrowsAndPagesScrollByLines)
{
    pane.SetText(NumberedLines(200));
    EXPECT_TRUE(pane.verticalScrollBar()->isVisible());
    const QPointF middle(pane.viewport()->rect().center());
    QWheelEvent wheel(middle, pane.viewport()->mapToGlobal(middle), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(pane.viewport(), &wheel);
    EXPECT_EQ(pane.FirstVisibleOffset(), QApplication::wheelScrollLines() * kLineLength);

    pane.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(pane.FirstVisibleOffset(), (QApplication::wheelScrollLines() + 1) * kLineLength);
    pane.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(pane.FirstVisibleOffset(), 0);

    // A page down brings the first line not wholly shown to the top, and
    // the caret keeps its place on screen.
    const auto whole = static_cast<qsizetype>((pane.viewport()->height() - 4) / LineHeight());
    pane.SetSelStart(2 * kLineLength + 1);
    QTest::keyClick(&pane, Qt::Key_PageDown);
    EXPECT_EQ(pane.FirstVisibleOffset(), whole * kLineLength);
    EXPECT_EQ(pane.SelStart(), (whole + 2) * kLineLength + 1);
    QTest::keyClick(&pane, Qt::Key_PageUp);
    EXPECT_EQ(pane.FirstVisibleOffset(), 0);
    EXPECT_EQ(pane.SelStart(), 2 * kLineLength + 1);
    QTest::keyClick(&pane, Qt::Key_Down);
    QTest::keyClick(&pane, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(pane.SelStart(), 3 * kLineLength + 1);
    EXPECT_EQ(pane.SelLength(), 1);
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(pane.SelStart(), pane.Length());
    EXPECT_EQ(pane.FirstVisibleOffset(), pane.verticalScrollBar()->maximum());
}

TEST_F(Pane, EnterAndDoubleClickChooseTheLineAsTheReaderCountsIt)
{
    // Line 0 wraps over several lines on screen.
    const QString first = Paragraphs(1).trimmed();
    pane.SetText(first + QStringLiteral("\r\n乙乙\r丙\n丁"));
    QSignalSpy chosen(&pane, &ReadingPane::LineActivated);
    pane.SetSelStart(first.size() + 3);
    QTest::keyClick(&pane, Qt::Key_Return);
    pane.SetSelStart(pane.Length());
    QTest::keyClick(&pane, Qt::Key_Enter);
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, QPoint(40, int(4 + 1.5 * LineHeight())));
    ASSERT_EQ(chosen.count(), 3);
    EXPECT_EQ(chosen[0][0].value<qsizetype>(), 1);
    EXPECT_EQ(chosen[1][0].value<qsizetype>(), 3);
    EXPECT_EQ(chosen[2][0].value<qsizetype>(), 0);
    EXPECT_EQ(pane.Text(), first + QStringLiteral("\r\n乙乙\r丙\n丁"));  // Enter typed nothing
    EXPECT_GT(pane.SelLength(), 0);                                      // the word under the pointer
}

TEST_F(Pane, TypedCharactersGoThroughTheHandlerAndDeleteTakesWholeBreaks)
{
    pane.SetText(QStringLiteral("甲\r\n乙"));
    QSignalSpy changed(&pane, &ReadingPane::TextChanged);
    int keep = 0;  // 0 discards, anything else replaces the character
    QObject::connect(&pane, &ReadingPane::KeyPress, &pane, [&](int& character) { character = keep; });

    pane.SetSelStart(1);
    QTest::keyClicks(&pane, QStringLiteral("ab"));
    QTest::keyClick(&pane, Qt::Key_Backspace);
    EXPECT_EQ(pane.Text(), QStringLiteral("甲\r\n乙"));
    EXPECT_EQ(changed.count(), 0);

    QTest::keyClick(&pane, Qt::Key_Delete);  // the whole CR LF
    EXPECT_EQ(pane.Text(), QStringLiteral("甲乙"));
    keep = u'丙';
    QTest::keyClick(&pane, Qt::Key_X);
    EXPECT_EQ(pane.Text(), QStringLiteral("甲丙乙"));
    keep = u'\b';
    QTest::keyClick(&pane, Qt::Key_Backspace);
    EXPECT_EQ(pane.Text(), QStringLiteral("甲乙"));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(pane.SelStart(), 1);
}

// Copy and Shift+Insert type no character; Ctrl+V and Ctrl+X type control
// characters, which the handler discards.
TEST_F(Pane, ClipboardKeysThatTypeNoCharacterWorkWhateverTheHandlerDiscards)
{
    pane.SetText(QStringLiteral("甲乙\r\n丙"));
    QObject::connect(&pane, &ReadingPane::KeyPress, &pane, [](int& character) { character = 0; });
    QApplication::clipboard()->clear();
    QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("甲乙\n丙"));
    QTest::keyClick(&pane, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&pane, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(pane.Text(), QStringLiteral("甲乙\r\n丙"));
    pane.SetSelStart(2);
    pane.SetSelLength(2);
    QTest::keyClick(&pane, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(pane.Text(), QStringLiteral("甲乙甲乙\n丙丙"));
}

TEST_F(Pane, MouseDragSelectsAcrossLines)
{
    pane.SetText(NumberedLines(50));
    const int lineY = int(LineHeight());
    QTest::mousePress(pane.viewport(), Qt::LeftButton, {}, QPoint(1, 4 + lineY / 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 4 + 2.5 * lineY), pane.viewport()->mapToGlobal(QPointF(200, 0)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(pane.viewport(), &move);
    QTest::mouseRelease(pane.viewport(), Qt::LeftButton, {}, QPoint(200, 4 + int(2.5 * lineY)));
    EXPECT_EQ(pane.SelStart(), 0);
    EXPECT_EQ(pane.SelectedText(), QStringLiteral("行000\n行001\n行002"));
}

// A chosen first-line indent starts every paragraph's text at the same place,
// whatever spaces the book put before it, and clicks still find the book's
// own characters.
TEST_F(Pane, FirstLineIndentReplacesTheBooksLeadingSpaces)
{
    const QStringList lines = {QStringLiteral("甲乙丙"), QStringLiteral("　　甲乙丙"), QStringLiteral("    甲乙丙"),
                               QStringLiteral("\t　　　　甲乙丙")};
    pane.SetText(lines.join(QStringLiteral("\r\n")));
    PaneTypography typography;
    typography.firstLineIndent = 2;
    pane.SetTypography(typography);
    const qreal em = QFontMetricsF(pane.font()).horizontalAdvance(u'中');
    qsizetype lineStart = 0;
    for (int k = 0; k < lines.size(); ++k) {
        QTest::mouseClick(pane.viewport(), Qt::LeftButton, {},
                          QPoint(int(PaneLayouts::kMargin + 2.2 * em), int(4 + (k + 0.5) * LineHeight())));
        EXPECT_EQ(pane.SelStart(), lineStart + lines[k].indexOf(u'甲')) << k;
        lineStart += lines[k].size() + 2;
    }
}

// The pane draws text exactly as a plain text box with the same font,
// size and colours: margins, line spacing, wrapping and selection.
TEST_F(Pane, DrawsLikeAPlainTextBox)
{
    QPalette palette = pane.palette();
    palette.setColor(QPalette::Base, QColor(192, 240, 249));
    palette.setColor(QPalette::Text, QColor(30, 30, 30));
    pane.setPalette(palette);
    QPlainTextEdit box;
    box.setFont(pane.font());
    box.setPalette(palette);
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box.resize(pane.size());
    box.show();

    const QString text = QStringLiteral("\r\n") + Paragraphs(3) + QStringLiteral("诗云：\r\n一局输赢料不真");
    pane.SetText(text);
    box.setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ASSERT_EQ(pane.viewport()->size(), box.viewport()->size());
    ASSERT_TRUE(HasText(Shown(), palette.color(QPalette::Base)));
    EXPECT_EQ(Shown(), box.viewport()->grab().toImage());

    // A selection from the middle of a line over its break.
    pane.SetSelStart(40);
    pane.SetSelLength(text.indexOf(QStringLiteral("\r\n\r\n"), 40) + 3 - 40);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(int(pane.WidgetPosition(40)));
    cursor.setPosition(int(pane.WidgetPosition(pane.SelStart() + pane.SelLength())), QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.verticalScrollBar()->setValue(0);
    pane.ScrollToOffset(0);
    EXPECT_EQ(Shown(), box.viewport()->grab().toImage());
}

}  // namespace
