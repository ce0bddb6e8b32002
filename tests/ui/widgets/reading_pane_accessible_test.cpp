#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/widgets/reading_pane.h"
#include "ui/widgets/reading_pane_accessible.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleTextInterface>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// What a screen reader was told, copied out of the events as they pass.
struct Told {
    QAccessible::Event type;
    QObject* object;
    int cursor;        // caret events
    QString inserted;  // text updates
};
std::vector<Told> told;

void Record(QAccessibleEvent* event)
{
    Told t{event->type(), event->object(), -1, {}};
    if (event->type() == QAccessible::TextCaretMoved)
        t.cursor = static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition();
    if (event->type() == QAccessible::TextUpdated)
        t.inserted = static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted();
    told.push_back(t);
}

// Records the pane's events for one test, as a bridge would receive them.
class Listening {
public:
    Listening() : previous_(SetPaneEventSink(Record)) { told.clear(); }
    ~Listening() { SetPaneEventSink(previous_); }
    Listening(const Listening&) = delete;
    Listening& operator=(const Listening&) = delete;

private:
    PaneEventSink previous_;
};

bool WasTold(QObject* object, QAccessible::Event type)
{
    return std::any_of(told.begin(), told.end(), [&](const Told& t) { return t.object == object && t.type == type; });
}

// Two lines of two sentences, an empty line and a last line, CR LF between.
const QString kText = QStringLiteral("第一句。第二句！\r\n短行\r\n\r\n末行");

class PaneAccessible : public ::testing::Test {
protected:
    void SetUp() override
    {
        pane.resize(400, 300);
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
        pane.SetText(kText);
        iface = QAccessible::queryAccessibleInterface(&pane);
        ASSERT_NE(iface, nullptr);
        text = iface->textInterface();
        ASSERT_NE(text, nullptr);
    }
    // The unit at `offset`, as [start, end) and its text.
    std::pair<int, int> At(int offset, QAccessible::TextBoundaryType type, QString* got = nullptr) const
    {
        int start = -1;
        int end = -1;
        const QString t = text->textAtOffset(offset, type, &start, &end);
        if (got)
            *got = t;
        return {start, end};
    }
    ReadingPane pane;
    QAccessibleInterface* iface = nullptr;
    QAccessibleTextInterface* text = nullptr;
};

TEST_F(PaneAccessible, IsAReadOnlyTextBoxOverTheReadersOffsets)
{
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_TRUE(iface->state().multiLine);
    EXPECT_TRUE(iface->state().focusable);
    EXPECT_EQ(text->characterCount(), kText.size());
    EXPECT_EQ(text->text(0, text->characterCount()), kText);

    const int line2 = kText.indexOf(u'短');
    pane.SetSelStart(line2);
    pane.SetSelLength(2);
    EXPECT_EQ(text->cursorPosition(), line2 + 2);
    int start = -1;
    int end = -1;
    ASSERT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(line2, line2 + 2));

    // What a screen reader asks for is done in the pane.
    const int last = kText.indexOf(u'末');
    text->setSelection(0, last, last + 2);
    EXPECT_EQ(pane.SelStart(), last);
    EXPECT_EQ(pane.SelLength(), 2);
    text->removeSelection(0);
    EXPECT_EQ(text->selectionCount(), 0);
    text->setCursorPosition(line2);
    EXPECT_EQ(pane.SelStart(), line2);
    // ...but it does not change the book.
    iface->editableTextInterface()->insertText(0, QStringLiteral("改"));
    EXPECT_EQ(pane.Text(), kText);
}

// Lines and sentences end after their CR LF, an offset between CR and LF
// stands before the break, and a line break is one character to step over.
TEST_F(PaneAccessible, BoundariesOnCrLfText)
{
    const int firstBreak = kText.indexOf(u'\r');
    const int line2 = kText.indexOf(u'短');
    const int empty = kText.indexOf(QStringLiteral("\r\n\r\n")) + 2;
    QString got;
    EXPECT_EQ(At(0, QAccessible::LineBoundary, &got), std::make_pair(0, line2));
    EXPECT_EQ(got, kText.left(line2));
    EXPECT_EQ(At(firstBreak + 1, QAccessible::LineBoundary), std::make_pair(0, line2));
    EXPECT_EQ(At(line2, QAccessible::LineBoundary), std::make_pair(line2, empty));
    int start = -1;
    int end = -1;
    EXPECT_EQ(text->textAfterOffset(line2, QAccessible::LineBoundary, &start, &end), QStringLiteral("\r\n"));
    EXPECT_EQ(text->textBeforeOffset(line2, QAccessible::LineBoundary, &start, &end), kText.left(line2));
    EXPECT_EQ(text->textAfterOffset(kText.size() - 1, QAccessible::LineBoundary, &start, &end), QString());

    EXPECT_EQ(At(1, QAccessible::SentenceBoundary, &got), std::make_pair(0, int(kText.indexOf(u'。')) + 1));
    EXPECT_EQ(At(kText.indexOf(u'二'), QAccessible::SentenceBoundary, &got).second, line2);
    EXPECT_EQ(At(firstBreak, QAccessible::CharBoundary, &got), std::make_pair(firstBreak, firstBreak + 2));
    EXPECT_EQ(At(line2, QAccessible::ParagraphBoundary), std::make_pair(line2, empty));

    // Geometry comes from what the pane drew: a character's box leads back to it.
    const QRect box = text->characterRect(line2 + 1);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(text->offsetAtPoint(box.center() - QPoint(box.width() / 4, 0)), line2 + 1);
}

TEST_F(PaneAccessible, CaretSelectionAndTextChangesAreReported)
{
    const Listening listening;
    pane.SetSelStart(3);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back().type, QAccessible::TextCaretMoved);
    EXPECT_EQ(told.back().cursor, 3);
    told.clear();
    pane.SetSelLength(2);
    EXPECT_TRUE(WasTold(&pane, QAccessible::TextSelectionChanged));
    EXPECT_EQ(told.back().cursor, 5);

    told.clear();
    const QString next = QStringLiteral("下一章\r\n");
    pane.SetText(next);
    ASSERT_TRUE(WasTold(&pane, QAccessible::TextUpdated));
    EXPECT_EQ(told.front().inserted, next);
    EXPECT_EQ(text->text(0, text->characterCount()), next);
}

class WindowAccessible : public ReaderFixture {};

// A chapter step replaces the text and announces the new chapter; the side
// buttons are buttons with their names, and pressing one steps too.
TEST_F(WindowAccessible, ChapterStepsAreAnnouncedAndButtonsNamed)
{
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第1章\r\n正文一\r\n第2章\r\n正文二\r\n")));
    window->NextChapter();
    ReadingPane& pane = window->Pane();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&pane);
    EXPECT_EQ(iface->textInterface()->text(0, iface->textInterface()->characterCount()), pane.Text());
    EXPECT_EQ(iface->textInterface()->cursorPosition(), pane.SelStart());

    const Listening listening;
    window->NextChapter();
    ASSERT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_TRUE(WasTold(&pane, QAccessible::TextUpdated));
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("第2章"));
    EXPECT_EQ(iface->textInterface()->text(0, iface->textInterface()->characterCount()), pane.Text());
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(&window->TitlePanel());
    EXPECT_TRUE(panel->text(QAccessible::Name).contains(QStringLiteral("甲")));
    EXPECT_TRUE(panel->text(QAccessible::Name).contains(QStringLiteral("第2章")));

    for (const char* name : {"previousChapterButton", "contentsButton", "nextChapterButton", "previousBookButton",
                             "nextBookButton", "coverButton"}) {
        auto* picture = window->findChild<QWidget*>(QString::fromLatin1(name) + QStringLiteral("Picture"));
        auto* caption = window->findChild<QLabel*>(QString::fromLatin1(name) + QStringLiteral("Caption"));
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(picture);
        EXPECT_EQ(button->role(), QAccessible::Button) << name;
        EXPECT_TRUE(button->text(QAccessible::Name).startsWith(caption->text())) << name;
        EXPECT_FALSE(button->text(QAccessible::Description).isEmpty()) << name;
        EXPECT_TRUE(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(QStringLiteral("previousChapterButtonPicture")))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(state.Current().ChapterIndex, 0);
}

}  // namespace
