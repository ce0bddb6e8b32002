#include "ui/widgets/pane_text.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Line starts found the slow way, one character at a time.
std::vector<qsizetype> StartsOf(const QString& text)
{
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        if (text[i] == u'\r' || text[i] == u'\n')
            starts.push_back(i + 1);
    }
    return starts;
}

std::vector<qsizetype> StartsOf(const PaneText& pane)
{
    std::vector<qsizetype> starts;
    for (qsizetype line = 0; line < pane.LineCount(); ++line)
        starts.push_back(pane.LineStart(line));
    return starts;
}

// Several hundred lines with every kind of line break, empty lines and
// CJK, so the index crosses its checkpoints.
QString MixedLines()
{
    const QString breaks[] = {QStringLiteral("\r\n"), QStringLiteral("\r"), QStringLiteral("\n")};
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QString(i % 7, QChar(u'甲' + i % 5)) + breaks[i % 3];
    return text + QStringLiteral("尾");
}

TEST(PaneText, LinesEndAtCrLfCrOrLf)
{
    PaneText pane;
    pane.SetText(QStringLiteral("甲\r\n乙\r丙\n\r\n"));
    ASSERT_EQ(pane.LineCount(), 5);
    const qsizetype starts[] = {0, 3, 5, 7, 9};
    const qsizetype ends[] = {1, 4, 6, 7, 9};
    for (qsizetype line = 0; line < 5; ++line) {
        EXPECT_EQ(pane.LineStart(line), starts[line]) << line;
        EXPECT_EQ(pane.LineEnd(line), ends[line]) << line;
    }
    EXPECT_EQ(pane.LineOf(2), 0);  // between CR and LF
    EXPECT_EQ(pane.LineOf(3), 1);
    EXPECT_EQ(pane.LineOf(9), 4);
    EXPECT_EQ(pane.Snapped(2), 1);
    EXPECT_EQ(pane.Snapped(8), 7);
    EXPECT_EQ(pane.Snapped(4), 4);  // a lone CR is one character
    EXPECT_EQ(pane.Snapped(-3), 0);
    EXPECT_EQ(pane.Snapped(99), 9);

    pane.SetText(QString());
    EXPECT_EQ(pane.LineCount(), 1);
    EXPECT_EQ(pane.LineEnd(0), 0);
}

TEST(PaneText, IndexAgreesWithTheSlowScanAfterEveryChange)
{
    const QString text = MixedLines();
    PaneText pane;
    pane.SetText(text);
    EXPECT_EQ(StartsOf(pane), StartsOf(text));

    // Appending: a CR at the old end and an LF at the new start are one break.
    PaneText appended;
    appended.SetText(text.left(1000) + u'\r');
    appended.Append(u'\n' + text.mid(1000));
    const QString joined = text.left(1000) + QStringLiteral("\r\n") + text.mid(1000);
    EXPECT_EQ(StartsOf(appended), StartsOf(joined));

    // Removing a line break joins two lines; inserting one splits a line.
    QString edited = text;
    PaneText replaced;
    replaced.SetText(text);
    const qsizetype lineBreak = text.indexOf(QStringLiteral("\r\n"), 900);
    replaced.Replace(lineBreak, lineBreak + 2, QString());
    edited.remove(lineBreak, 2);
    EXPECT_EQ(StartsOf(replaced), StartsOf(edited));
    replaced.Replace(10, 10, QStringLiteral("\r\n\n"));
    edited.insert(10, QStringLiteral("\r\n\n"));
    EXPECT_EQ(StartsOf(replaced), StartsOf(edited));
    EXPECT_EQ(replaced.Text(), edited);
}

// A chapter of many lines, or of a very long one, is indexed a slice at a
// time: at every step the index is a true prefix, the text counts as ending
// where the search has come, a place asked for is reached, and text
// appended meanwhile is indexed too.
TEST(PaneText, IndexBuiltInSlicesAgreesWithTheSlowScan)
{
    const QString text =
        MixedLines().repeated(50) + QString(3 << 20, u'长') + MixedLines().repeated(50) + QString(30000, u'\n');
    const std::vector<qsizetype> all = StartsOf(text);
    PaneText pane;
    pane.SetText(text, QDeadlineTimer(0));
    pane.Reach(text.size() / 2);
    EXPECT_GT(pane.Length(), text.size() / 2);
    bool appended = false;
    while (!pane.IndexMore(QDeadlineTimer(0))) {
        const std::vector<qsizetype> starts = StartsOf(pane);
        ASSERT_LT(starts.size(), all.size());
        ASSERT_TRUE(std::equal(starts.begin(), starts.end(), all.begin()));
        // The last line counts as far as it has been searched for its end.
        ASSERT_GE(pane.Length(), starts.back());
        ASSERT_FALSE(text.mid(starts.back(), pane.Length() - starts.back()).contains(QRegularExpression("[\r\n]")));
        ASSERT_EQ(pane.LineEnd(pane.LineCount() - 1), pane.Length());
        if (!appended) {
            pane.Append(QStringLiteral("\r\n尾"));
            appended = true;
        }
    }
    EXPECT_TRUE(appended);
    EXPECT_EQ(StartsOf(pane), StartsOf(text + QStringLiteral("\r\n尾")));
    EXPECT_EQ(pane.Length(), text.size() + 3);
}

TEST(PaneText, WidgetPositionsCountEveryBreakOnceAndRoundTrip)
{
    const QString text = MixedLines();
    PaneText pane;
    pane.SetText(text);
    // The text as a text box holds it, with one position per line break.
    QString single = text;
    single.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    single.replace(u'\r', u'\n');
    // Counting characters, but not the CR of a CR LF: an offset between the
    // two stands before the break.
    qsizetype position = 0;
    for (qsizetype offset = 0; offset <= text.size(); ++offset) {
        const bool insideCrLf =
            offset > 0 && text[offset - 1] == u'\r' && offset < text.size() && text[offset] == u'\n';
        if (offset > 0 && !insideCrLf)
            ++position;
        ASSERT_EQ(pane.WidgetPosition(offset), position) << offset;
        ASSERT_EQ(pane.ReaderOffset(pane.WidgetPosition(offset)), pane.Snapped(offset)) << offset;
    }
    EXPECT_EQ(pane.WidgetPosition(text.size()), single.size());
    EXPECT_EQ(pane.ReaderOffset(single.size() + 5), text.size());
    EXPECT_EQ(pane.WithSingleBreaks(0, text.size()), single);
}

TEST(PaneText, SameStorageIsHeldAndEqualCopiesAreNot)
{
    const QString chapter = QStringLiteral("第一章\r\n正文");
    PaneText pane;
    pane.SetText(chapter);
    const QString shared = chapter;
    EXPECT_TRUE(pane.Holds(shared));
    EXPECT_FALSE(pane.Holds(QString(chapter.constData(), chapter.size())));
    pane.Replace(0, 1, QStringLiteral("另"));  // the pane's own copy now
    EXPECT_FALSE(pane.Holds(chapter));
    EXPECT_EQ(chapter, QStringLiteral("第一章\r\n正文"));
}

// Pieces of a long line: contiguous, never longer than the piece length
// (and the slack its start may have moved back by), found from any offset
// in them, and walked in both directions.
void ExpectPiecesCover(const PaneText& pane, qsizetype line)
{
    std::vector<PaneSegment> pieces{pane.SegmentAt(pane.LineStart(line))};
    while (pieces.back().end < pane.LineEnd(line)) {
        const auto next = pane.NextSegment(pieces.back());
        ASSERT_TRUE(next);
        ASSERT_EQ(next->start, pieces.back().end);
        pieces.push_back(*next);
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        const PaneSegment& piece = pieces[i];
        EXPECT_EQ(piece.line, line);
        EXPECT_LE(piece.Length(), PaneText::kPieceLength + PaneText::kPieceSlack);
        EXPECT_GT(piece.Length(), i + 1 < pieces.size() ? PaneText::kPieceLength - PaneText::kPieceSlack - 1 : 0);
        for (const qsizetype offset : {piece.start, piece.start + piece.Length() / 2, piece.end - 1}) {
            EXPECT_EQ(pane.SegmentAt(offset), piece) << offset;
        }
        if (i > 0) {
            EXPECT_EQ(pane.PreviousSegment(piece), pieces[i - 1]);
        }
    }
    EXPECT_EQ(pane.SegmentAt(pane.LineEnd(line)), pieces.back());  // the caret at the line's end
}

TEST(PaneText, LongLinesAreCutIntoPiecesAtNaturalPlaces)
{
    PaneText pane;
    // No break point at all: pieces of exactly the piece length.
    pane.SetText(QString(3 * PaneText::kPieceLength + 5, u'a') + QStringLiteral("\r\n短\r\n"));
    ExpectPiecesCover(pane, 0);
    EXPECT_EQ(pane.SegmentAt(0).end, PaneText::kPieceLength);
    EXPECT_EQ(pane.SegmentAt(pane.LineStart(1)), (PaneSegment{pane.LineStart(1), pane.LineStart(1) + 1, 1}));
    EXPECT_EQ(pane.NextSegment(pane.SegmentAt(pane.LineEnd(1))), (PaneSegment{pane.LineStart(2), pane.Length(), 2}));
    EXPECT_FALSE(pane.NextSegment(pane.SegmentAt(pane.Length())));
    EXPECT_FALSE(pane.PreviousSegment(pane.SegmentAt(0)));

    // Sentences: every piece but the last ends just after a full stop.
    QString sentences;
    while (sentences.size() < 5 * PaneText::kPieceLength)
        sentences += QString(93, u'字') + u'。';
    pane.SetText(sentences);
    ExpectPiecesCover(pane, 0);
    for (auto piece = std::optional(pane.SegmentAt(0)); piece && piece->end < pane.Length();
         piece = pane.NextSegment(*piece)) {
        EXPECT_EQ(sentences[piece->end - 1], u'。') << piece->end;
    }

    // Characters outside the basic plane are never cut in two.
    QString faces;
    while (faces.size() < 3 * PaneText::kPieceLength)
        faces += QStringLiteral("😀");
    pane.SetText(u'x' + faces);
    ExpectPiecesCover(pane, 0);
    for (auto piece = std::optional(pane.SegmentAt(0)); piece; piece = pane.NextSegment(*piece)) {
        EXPECT_FALSE(pane.Text()[piece->start].isLowSurrogate()) << piece->start;
    }
}

}  // namespace
