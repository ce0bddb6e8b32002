#include "core/books/book_positions.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"

#include <QAction>

namespace {

// Books of long chapters, read inside a chapter and left there.
class ReadingPlace : public ReaderFixture {
protected:
    // Chapters of `lines` short lines each, so no line wraps.
    static QString LongChapters(int chapters, int lines)
    {
        QString text;
        for (int c = 1; c <= chapters; ++c) {
            text += QStringLiteral("第%1章\r\n").arg(c);
            for (int i = 0; i < lines; ++i)
                text += QStringLiteral("　　这是第%1章的第%2行。\r\n").arg(c).arg(i);
        }
        return text;
    }
    // The offset where line `line` of the chapter shown begins.
    qsizetype LineStart(int line) const
    {
        const QString& text = window->Pane().Text();
        qsizetype offset = 0;
        for (int i = 0; i < line; ++i)
            offset = text.indexOf(QStringLiteral("\r\n"), offset) + 2;
        return offset;
    }
    // Scrolls the way a reader does, and lets the pane draw.
    void ScrollTo(qsizetype offset)
    {
        window->Pane().ScrollToOffset(offset);
        window->Pane().viewport()->grab();
    }
    qsizetype Top() const { return window->Pane().FirstVisibleOffset(); }
    void Open(const QString& path)
    {
        prompter.files = {path};
        window->OpenFile();
        WaitUntilIdle(*window);
    }
    QString BookPos() const { return program.Path(QString::fromUtf16(kBookPosName)); }
    // A new start: a fresh store and window on the same program folder.
    void Restart()
    {
        window->close();
        window.reset();
        state = ReaderState();
        MakeWindow();
    }
};

TEST_F(ReadingPlace, BookStepsComeBackToThePlaceChapterStepsStartAtTheTop)
{
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), LongChapters(3, 300)));
    OpenBook(*window, WriteBook(QStringLiteral("乙.txt"), LongChapters(2, 300)));
    state.CurrentBook = 1;
    window->ShowChapterFromMenu(1);
    const qsizetype place = LineStart(120);
    ScrollTo(place);
    ASSERT_EQ(Top(), place);

    window->NextBook();  // "下一本封面"
    ASSERT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(Top(), 0);  // a book never read inside a chapter starts at its top
    ScrollTo(LineStart(40));
    window->PreviousBook();  // "上一本"
    ASSERT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(Top(), place);
    // The books menu too, both ways.
    ScrollTo(LineStart(200));
    window->ShowBookFromMenu(1);
    EXPECT_EQ(Top(), LineStart(40));
    window->ShowBookFromMenu(0);
    EXPECT_EQ(Top(), LineStart(200));
    // A step that goes nowhere leaves the reader where he was.
    window->PreviousBook();
    EXPECT_EQ(Top(), LineStart(200));

    // A chapter step starts at the top as always, and so does coming back
    // to the chapter; the place is where the book was last left.
    window->NextChapter();
    EXPECT_EQ(Top(), 0);
    window->PreviousChapter();
    EXPECT_EQ(Top(), 0);
    window->NextBook();
    window->PreviousBook();
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(Top(), 0);
    // A book left on its contents view comes back at chapter 0's top.
    ScrollTo(LineStart(50));
    window->ShowContents();
    window->NextBook();
    window->PreviousBook();
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(Top(), 0);
}

// What the close writes the next start reads back: the book comes back in
// its chapter at its place, through the open command as through the recent
// files, and a bigger font does not move the place to another text.
TEST_F(ReadingPlace, ThePlaceSurvivesARestart)
{
    const QString book = WriteBook(QStringLiteral("甲.txt"), LongChapters(3, 300));
    Open(book);
    window->ShowChapterFromMenu(2);
    const qsizetype place = LineStart(150);
    ScrollTo(place);
    Restart();
    EXPECT_EQ(ReadBytes(BookPos()), EncodeGb18030(QStringLiteral("Name=%1,id=2,Pos=%2,Enc=\r\n").arg(book).arg(place)));

    Open(book);
    ASSERT_EQ(state.Current().ChapterIndex, 2);
    window->Pane().viewport()->grab();
    EXPECT_EQ(Top(), place);
    EXPECT_TRUE(window->Pane().Text().mid(Top()).startsWith(QStringLiteral("　　这是第3章的第150行。")))
        << window->Pane().Text().mid(Top(), 20).toStdString();
    QFont bigger = window->Pane().font();
    bigger.setPointSize(bigger.pointSize() * 2);
    window->Pane().setFont(bigger);
    window->Pane().viewport()->grab();
    EXPECT_EQ(Top(), place);

    // Read on, close, and start again from the recent files.
    ScrollTo(LineStart(250));
    Restart();
    window->RecentFiles().SetCaption(0, book);
    window->OpenRecent(0);
    WaitUntilIdle(*window);
    ASSERT_EQ(state.Current().ChapterIndex, 2);
    window->Pane().viewport()->grab();
    EXPECT_EQ(Top(), LineStart(250));
    EXPECT_TRUE(prompter.messages.empty());
}

// A place in the middle of a long paragraph: after a bigger font its line
// on screen starts earlier, but until the reader scrolls the place noted
// is the one restored, so the place does not creep back at every start.
TEST_F(ReadingPlace, APlaceInsideAWrappedParagraphDoesNotCreepBack)
{
    QString text = QStringLiteral("第一章\r\n");
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("　　") + QString(400, QChar(u'文' + i % 7)) + QStringLiteral("\r\n");
    const QString book = WriteBook(QStringLiteral("甲.txt"), text);
    auto posLine = [&](qsizetype offset) {
        return EncodeGb18030(QStringLiteral("Name=%1,id=0,Pos=%2,Enc=\r\n").arg(book).arg(offset));
    };
    Open(book);
    ASSERT_EQ(state.Current().ChapterIndex, 0);
    ScrollTo(LineStart(30) + 101);
    const qsizetype place = Top();
    ASSERT_GT(place, LineStart(30)) << "the place is meant to be inside a paragraph";
    Restart();
    ASSERT_EQ(ReadBytes(BookPos()), posLine(place));

    Open(book);
    QFont bigger = window->Pane().font();
    bigger.setPointSize(bigger.pointSize() + 5);
    window->Pane().setFont(bigger);
    window->Pane().viewport()->grab();
    ASSERT_LT(Top(), place) << "with the bigger font the line holding the place starts earlier";
    Restart();
    EXPECT_EQ(ReadBytes(BookPos()), posLine(place));
    // Scrolled away, the first character on screen is the place again.
    Open(book);
    const qsizetype scrolled = LineStart(10);
    ScrollTo(scrolled);
    Restart();
    EXPECT_EQ(ReadBytes(BookPos()), posLine(scrolled));
}

// book.pos only ever adds the place: a place for another chapter than the
// one book.ini restores, a damaged line or file, or an offset past the end
// of the chapter leave the book as book.ini alone would.
TEST_F(ReadingPlace, AStaleOrDamagedBookPosChangesNothingElse)
{
    const QString book = WriteBook(QStringLiteral("甲.txt"), LongChapters(3, 300));
    program.WriteGbk(QStringLiteral("book.ini"),
                     QStringLiteral("[Version1.0]\r\nName=%1,Xcolor=,id=1,SelStart=1\r\n").arg(book));
    struct Case {
        QByteArray pos;
        bool scrolled;
    };
    const QByteArray name = EncodeGb18030(QStringLiteral("Name=") + book);
    for (const Case& c :
         {Case{name + ",id=2,Pos=3000,Enc=\r\n", false}, Case{name + ",id=1,Pos=3x00,Enc=\r\n", false},
          Case{name + ",id=1\r\n", false}, Case{QByteArray("\xff\xfe\x00\xd8garbage", 12), false},
          Case{name + ",id=1,Pos=99999999999,Enc=\r\n", true}, Case{name + ",id=1,Pos=3000,Enc=KOI8\r\n", true}}) {
        program.WriteBytes(QString::fromUtf16(kBookPosName), c.pos);
        Open(book);
        EXPECT_EQ(state.Current().ChapterIndex, 1) << c.pos.toStdString();
        EXPECT_EQ(state.Current().ChosenEncoding, EncodingChoice::Automatic);
        EXPECT_EQ(window->Pane().Text(), state.Current().ChapterTexts[1]);
        window->Pane().viewport()->grab();
        if (c.scrolled)
            EXPECT_GT(Top(), 0) << c.pos.toStdString();
        else
            EXPECT_EQ(Top(), 0) << c.pos.toStdString();
        EXPECT_TRUE(prompter.messages.empty()) << prompter.Texts().join(u'\n').toStdString();
        Restart();
    }
    // A book.pos that is a folder cannot be read: still nothing else changes.
    QFile::remove(BookPos());
    QDir().mkpath(BookPos());
    Open(book);
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
