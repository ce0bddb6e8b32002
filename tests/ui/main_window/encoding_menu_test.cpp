#include "core/books/book_contents.h"
#include "core/books/book_positions.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/folder_scan_dialog.h"
#include "ui/main_window/chapter_menu.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {

// A short book in traditional characters, stored as Big5: too few
// characters for the guess to dare Big5, so it is read as GB18030 until the user chooses.
const QString kTraditional = QStringLiteral("第一回　說\r\n人生。\r\n第二回　王\r\n話說。\r\n第三回　周\r\n秀才。\r\n");

class EncodingMenu : public ReaderFixture {
protected:
    QMenu& Menu() { return *window->findChild<QMenu*>(QStringLiteral("encodingMenu")); }
    // The item as the user finds it on opening the menu.
    QAction* Item(const QString& caption)
    {
        emit Menu().aboutToShow();
        for (QAction* item : Menu().actions())
            if (item->text() == caption)
                return item;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }
    QString Checked()
    {
        emit Menu().aboutToShow();
        for (QAction* item : Menu().actions())
            if (item->isChecked())
                return item->text();
        return QString();
    }
    QString WriteBig5Book(const QString& name)
    {
        return books.WriteBytes(name, EncodeText(kTraditional, TextEncoding::Big5));
    }
    void Open(const QString& path)
    {
        prompter.files = {path};
        window->OpenFile();
        WaitUntilIdle(*window);
    }
    void Restart()
    {
        window->close();
        window.reset();
        state = ReaderState();
        MakeWindow();
    }
};

TEST_F(EncodingMenu, ListsTheChoicesUnderTheViewMenuAndChecksTheBooks)
{
    QStringList captions;
    for (QAction* item : Menu().actions()) {
        captions.append(item->text());
        EXPECT_TRUE(item->isCheckable());
    }
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("自动"), QStringLiteral("GB18030"), QStringLiteral("UTF-8"),
                           QStringLiteral("Big5"), QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE")}));
    EXPECT_EQ(Menu().title(), QStringLiteral("文字编码"));
    EXPECT_EQ(qobject_cast<QMenu*>(Menu().parent())->title(), QStringLiteral("查看"));
    // Nothing to read again before a book is open.
    emit Menu().aboutToShow();
    EXPECT_FALSE(Item(QStringLiteral("Big5"))->isEnabled());

    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲\r\n")));
    EXPECT_EQ(Checked(), QStringLiteral("自动"));
    EXPECT_TRUE(Item(QStringLiteral("Big5"))->isEnabled());
}

// The guess fails; the user chooses Big5: the book is read again in the
// same slot at the same chapter, the other books untouched.
TEST_F(EncodingMenu, ChoosingReadsTheBookAgainInItsSlotAndChapter)
{
    OpenBook(*window, WriteBook(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n乙\r\n")));
    OpenBook(*window, WriteBig5Book(QStringLiteral("儒林.txt")));
    ASSERT_EQ(state.CurrentBook, 2);
    ASSERT_EQ(state.Current().Encoding, TextEncoding::Gb18030) << "the guess was meant to fail here";
    ASSERT_NE(state.Current().Chapters.size(), 3u);

    window->ShowBookFromMenu(0);
    window->ShowBookFromMenu(1);
    prompter.messages.clear();  // "本书无目录": the book read wrongly has no headings
    Item(QStringLiteral("Big5"))->trigger();
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Books.Count(), 2);
    EXPECT_EQ(state.CurrentBook, 2);
    const Book& book = state.Current();
    EXPECT_EQ(book.ChosenEncoding, EncodingChoice::Big5);
    EXPECT_EQ(book.Encoding, TextEncoding::Big5);
    ASSERT_EQ(book.LastChapter(), 2);
    EXPECT_EQ(book.Chapters[1].Title, QStringLiteral("第二回　王"));
    EXPECT_EQ(window->ChapterItems().Caption(2), QStringLiteral("2\t第三回　周"));
    EXPECT_EQ(window->BookItems().Count(), 2);
    EXPECT_EQ(Checked(), QStringLiteral("Big5"));
    EXPECT_TRUE(prompter.messages.empty()) << prompter.Texts().join(u'\n').toStdString();

    // The contents view stays the contents view.
    window->ShowContents();
    Item(QStringLiteral("UTF-8"))->trigger();
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    EXPECT_EQ(state.Current().ChosenEncoding, EncodingChoice::Utf8);
    EXPECT_EQ(window->Pane().Text(), ContentsText(state.Current()));
    // The other book was never touched.
    EXPECT_EQ(state.Books[1].ChapterTexts[0], QStringLiteral("乙\r\n"));
}

// A chapter that is still there after the new reading stays shown, at the
// place where the reader was when the text reads the same.
TEST_F(EncodingMenu, TheChapterAndPlaceStayWhenTheyStillExist)
{
    QString text;
    for (int c = 1; c <= 3; ++c) {
        text += QStringLiteral("第%1章\r\n").arg(c);
        for (int i = 0; i < 300; ++i)
            text += QStringLiteral("　　第%1章正文。\r\n").arg(c);
    }
    OpenBook(*window, WriteBook(QStringLiteral("甲.txt"), text));
    window->ShowChapterFromMenu(2);
    const qsizetype place = 150 * QStringLiteral("　　第3章正文。\r\n").size();
    window->Pane().ScrollToOffset(place);
    window->Pane().viewport()->grab();
    ASSERT_EQ(window->Pane().FirstVisibleOffset(), place);
    Item(QStringLiteral("GB18030"))->trigger();
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Current().ChosenEncoding, EncodingChoice::Gb18030);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    window->Pane().viewport()->grab();
    EXPECT_EQ(window->Pane().FirstVisibleOffset(), place);
    // Read as UTF-16, the book has no chapter 2 and no place any more.
    Item(QStringLiteral("UTF-16LE"))->trigger();
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Current().ChapterIndex, 0);
    EXPECT_EQ(window->Pane().FirstVisibleOffset(), 0);
}

// Remembered in book.pos: every later opening reads the book so again, the
// open command, the recent files and the folder scan alike.
TEST_F(EncodingMenu, TheChoiceIsRememberedForEveryWayOfOpening)
{
    const QString path = WriteBig5Book(QStringLiteral("儒林.txt"));
    Open(path);
    Item(QStringLiteral("Big5"))->trigger();
    WaitUntilIdle(*window);
    window->ShowChapterFromMenu(1);
    Restart();
    EXPECT_EQ(ReadBytes(program.Path(QString::fromUtf16(kBookPosName))),
              EncodeGb18030(QStringLiteral("Name=%1,id=1,Pos=0,Enc=Big5\r\n").arg(path)));

    Open(path);
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("話說。\r\n"));
    EXPECT_EQ(Checked(), QStringLiteral("Big5"));
    Restart();
    window->RecentFiles().SetCaption(0, path);
    window->OpenRecent(0);
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Current().Encoding, TextEncoding::Big5);
    Restart();
    window->OpenFolder();
    FolderScanDialog* scan = window->FolderScanIfMade();
    ASSERT_NE(scan, nullptr);
    scan->SetFolderPath(books.Root());
    prompter.yesAnswers = {true};
    scan->Scan();
    WaitUntilIdle(*window);
    ASSERT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.Current().ChosenEncoding, EncodingChoice::Big5);
    ASSERT_EQ(state.Current().LastChapter(), 2);
    EXPECT_EQ(state.Current().Chapters[2].Title, QStringLiteral("第三回　周"));

    // Back to 自动: book.pos forgets the choice.
    Item(QStringLiteral("自动"))->trigger();
    WaitUntilIdle(*window);
    EXPECT_EQ(state.Current().Encoding, TextEncoding::Gb18030);
    Restart();
    EXPECT_TRUE(ReadBytes(program.Path(QString::fromUtf16(kBookPosName))).endsWith(",Enc=\r\n"));
}

// While a load lets the event loop run, the reader refuses, as it refuses
// a second open; nothing changes.
TEST_F(EncodingMenu, AChoiceDuringALoadIsRefused)
{
    OpenBook(*window, WriteBig5Book(QStringLiteral("儒林.txt")));
    QString text;
    for (int i = 1; i <= 30000; ++i)
        text += QStringLiteral("第%1章\r\n正文正文\r\n").arg(i);
    const QString big = WriteBook(QStringLiteral("大.txt"), text);
    prompter.files = {big};
    window->OpenFile();
    ASSERT_TRUE(window->Reading().Loading());
    window->ShowBookFromMenu(0);
    ASSERT_EQ(state.CurrentBook, 1);
    prompter.messages.clear();  // "本书无目录": the book read wrongly has no headings
    Item(QStringLiteral("Big5"))->trigger();
    ASSERT_TRUE(WaitUntilIdle(*window));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("正在加载电子书,加载完毕后才可以更换文字编码!"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(state.Books[1].ChosenEncoding, EncodingChoice::Automatic);
    EXPECT_EQ(state.Books.Count(), 2);
}

// A book whose file has gone stays as it was, and the user is told.
TEST_F(EncodingMenu, ABookWhoseFileHasGoneStaysAsItWas)
{
    const QString path = WriteBig5Book(QStringLiteral("儒林.txt"));
    OpenBook(*window, path);
    const std::vector<QString> before = state.Current().ChapterTexts;
    ASSERT_TRUE(QFile::remove(path));
    Item(QStringLiteral("Big5"))->trigger();
    WaitUntilIdle(*window);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("文件打开错误!1找不到该文件"));
    EXPECT_EQ(state.Current().ChosenEncoding, EncodingChoice::Automatic);
    EXPECT_EQ(state.Current().ChapterTexts, before);
    EXPECT_EQ(Checked(), QStringLiteral("自动"));
}

}  // namespace
