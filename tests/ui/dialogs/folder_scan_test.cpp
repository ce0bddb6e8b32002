#include "core/books/book_settings.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/dialogs/folder_scan_dialog.h"
#include "ui/main_window/splash_window.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

class FolderScan : public ReaderFixture {
protected:
    FolderScanDialog& Dialog()
    {
        window->OpenFolder();
        auto* dialog = window->FolderScanIfMade();
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }
    void Scan(const QString& folder, bool yes = true)
    {
        FolderScanDialog& dialog = Dialog();
        dialog.SetFolderPath(folder);
        ASSERT_EQ(dialog.FolderPath(), QDir(folder).absolutePath());
        prompter.yesAnswers = {yes};
        dialog.Scan();
        WaitUntilIdle(*window);
    }
};

TEST_F(FolderScan, OpensEveryTextFileInNaturalOrder)
{
    books.WriteGbk(QStringLiteral("第10卷.txt"), QStringLiteral("第一章\r\n正文十\r\n"));
    books.WriteBytes(QStringLiteral("第2卷.TXT"), QStringLiteral("第一章\r\n正文二\r\n").toUtf8());
    books.WriteGbk(QStringLiteral("说明.md"), QStringLiteral("不是书"));
    books.WriteGbk(QStringLiteral(".隐藏.txt"), QStringLiteral("不是书"));
    QDir().mkpath(books.Path(QStringLiteral("子目录.txt")));
    books.WriteGbk(QStringLiteral("子目录.txt/第1卷.txt"), QStringLiteral("第一章\r\n一\r\n"));

    Scan(books.Root());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("是否打开整个选中文件夹所有文本文件?"));
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Question);
    EXPECT_EQ(prompter.messages[0].buttons, Prompter::Buttons::YesNo);
    ASSERT_EQ(state.Books.Count(), 2);
    EXPECT_EQ(state.Books[1].FileName, QStringLiteral("第2卷.TXT"));
    EXPECT_EQ(state.Books[2].FileName, QStringLiteral("第10卷.txt"));
    EXPECT_EQ(state.Books[2].ChapterTexts[0], QStringLiteral("正文十\r\n"));
    EXPECT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(state.Current().ChapterIndex, -1);
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("第2卷.TXT"), QStringLiteral("第10卷.txt")}));
    EXPECT_EQ(window->ChapterItems().Captions(), QStringList({QStringLiteral("0\t第一章")}));
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("第一章\r\n"));  // the last book's contents view
    EXPECT_EQ(window->windowTitle(), QStringLiteral("正在阅读:第10卷.txt——目录"));
    EXPECT_FALSE(window->FolderScanIfMade()->isVisible());
    EXPECT_FALSE(window->Splash().isVisible());
}

// A scan over a book that is open leaves it where it was being read, and
// book.ini keeps its chapter.
TEST_F(FolderScan, ABookAlreadyOpenKeepsItsChapterAndPlace)
{
    QString text;
    for (int i = 1; i <= 3; ++i)
        text += QStringLiteral("第%1章\r\n").arg(i) + QStringLiteral("正文一行又一行。\r\n").repeated(200);
    prompter.files = {books.WriteGbk(QStringLiteral("甲.txt"), text)};
    window->OpenFile();
    ASSERT_TRUE(WaitUntilIdle(*window));
    window->NextChapter();
    window->Pane().ScrollToOffset(1500);
    const qsizetype place = window->Pane().FirstVisibleOffset();
    ASSERT_GT(place, 0);
    books.WriteGbk(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n乙\r\n"));

    Scan(books.Root());
    ASSERT_EQ(state.Books.Count(), 2);
    EXPECT_EQ(state.Books[1].ChapterIndex, 1);
    EXPECT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("第一章\r\n"));
    window->PreviousBook();
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(window->Pane().FirstVisibleOffset(), place);
    EXPECT_TRUE(BookIniText(state, 1).contains(QStringLiteral("甲.txt,Xcolor=,id=1,")));
}

TEST_F(FolderScan, NoClosesTheDialogAndLoadsNothing)
{
    books.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲\r\n"));
    Scan(books.Root(), false);
    EXPECT_EQ(state.Books.Count(), 0);
    EXPECT_FALSE(window->FolderScanIfMade()->isVisible());
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("空")}));
}

TEST_F(FolderScan, EmptyFolderChangesNothing)
{
    Scan(books.Root());
    EXPECT_EQ(state.Books.Count(), 0);
    EXPECT_EQ(prompter.messages.size(), 1u);  // the question only
    EXPECT_FALSE(window->FolderScanIfMade()->isVisible());
}

TEST_F(FolderScan, OpenBooksAndSharedNamesAreNotListedTwice)
{
    const QString first = books.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲\r\n"));
    TempFolder other;
    other.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n另一个甲\r\n"));
    other.WriteGbk(QStringLiteral("乙.txt"), QStringLiteral("第一章\r\n乙\r\n"));
    Scan(books.Root());
    Scan(books.Root());  // already open: nothing is read again
    EXPECT_EQ(state.Books.Count(), 1);
    Scan(other.Root());
    EXPECT_EQ(state.Books.Count(), 3);
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt"), QStringLiteral("乙.txt")}));
    EXPECT_EQ(window->BookItems().Tag(1), 3);
    EXPECT_EQ(state.Books[1].Path, first);
}

// Files refused for a full store used to be skipped in silence; the scan
// still goes on, and once it is done one box says how many were opened and
// how many were left.
TEST_F(FolderScan, AFullStoreRefusesFilesAndTheScanGoesOnThenSaysSo)
{
    TempFolder many;
    for (int i = 1; i <= 254; ++i)
        many.WriteBytes(QString("%1.txt").arg(i, 3, 10, QChar('0')), "x");
    Scan(many.Root());
    ASSERT_EQ(state.Books.Count(), 254);
    books.WriteGbk(QStringLiteral("a.txt"), QStringLiteral("第一章\r\n甲\r\n"));
    books.WriteGbk(QStringLiteral("b.txt"), QStringLiteral("第一章\r\n乙\r\n"));
    books.WriteGbk(QStringLiteral("c.txt"), QStringLiteral("第一章\r\n丙\r\n"));
    prompter.messages.clear();
    Scan(books.Root());
    EXPECT_EQ(state.Books.Count(), 255);
    EXPECT_EQ(state.Books[255].FileName, QStringLiteral("a.txt"));
    ASSERT_EQ(prompter.messages.size(), 2u);  // the question, then the sum
    const ScriptedPrompter::Shown& sum = prompter.messages[1];
    EXPECT_EQ(sum.caption, QStringLiteral("提示"));
    EXPECT_TRUE(sum.text.startsWith(QStringLiteral("溢出"))) << sum.text.toStdString();
    EXPECT_TRUE(sum.text.contains(QStringLiteral("打开了 1 本，还有 2 本没有打开"))) << sum.text.toStdString();
    EXPECT_FALSE(window->Splash().isVisible());
    EXPECT_FALSE(window->FolderScanIfMade()->isVisible());
}

TEST_F(FolderScan, CancelDuringTheScanHidesTheDialogAndTheScanGoesOn)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        books.WriteGbk(QString::fromLatin1(name), QStringLiteral("第一章\r\n正文\r\n"));
    FolderScanDialog& dialog = Dialog();
    dialog.SetFolderPath(books.Root());
    prompter.yesAnswers = {true};
    // The user presses "取消" while the first book is being listed.
    bool pressed = false;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.CancelButton().click();
        pressed = true;
    });
    dialog.Scan();
    WaitUntilIdle(*window);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(state.Books.Count(), 3);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FolderScan, ClosingTheWindowDuringAScanSavesAndStopsIt)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        books.WriteGbk(QString::fromLatin1(name), QStringLiteral("第一章\r\n正文\r\n"));
    FolderScanDialog& dialog = Dialog();
    dialog.SetFolderPath(books.Root());
    prompter.yesAnswers = {true};
    // The user closes the main window while the scan is between books.
    QTimer::singleShot(0, window.get(), [&] { window->close(); });
    dialog.Scan();
    WaitUntilIdle(*window);
    EXPECT_TRUE(window->Quitting());
    EXPECT_LT(state.Books.Count(), 4);
    EXPECT_TRUE(ReadBytes(program.Path(QStringLiteral("book.ini"))).startsWith("[Version1.0]\r\nName="));
}

}  // namespace

namespace {

// The dialog opens centred over the main window, with the folder a scan
// would open selected and scrolled into sight, so the question "是否打开整个
// 选中文件夹所有文本文件?" is about a folder the user can see.
TEST_F(FolderScan, OpensCentredOnTheCurrentFolderInSight)
{
    const QString deep = books.Path(QStringLiteral("一/二/三/四/书"));
    ASSERT_TRUE(QDir().mkpath(deep));
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(books.Path(QStringLiteral("一/二/三/四/旁%1").arg(i)));
    // The scan starts where the last book was chosen.
    prompter.files = {books.WriteGbk(QStringLiteral("一/二/三/四/书/甲.txt"), QStringLiteral("第一章\r\n甲\r\n"))};
    window->OpenFile();
    WaitUntilIdle(*window);
    window->setGeometry(100, 80, 1000, 700);
    window->show();
    FolderScanDialog& dialog = Dialog();
    EXPECT_EQ(dialog.FolderPath(), deep);

    const QPoint centre = dialog.frameGeometry().center();
    EXPECT_LE((centre - window->frameGeometry().center()).manhattanLength(), 4);

    QTreeView& tree = dialog.FolderTree();
    const QModelIndex current = tree.currentIndex();
    // The folders load in the background and push the rows about, and the
    // model sorts a folder's rows a moment after they came in: the folder
    // must be in sight once all of them are in and sorted.
    auto inSight = [&] { return tree.viewport()->rect().contains(tree.visualRect(current)); };
    auto allIn = [&] { return tree.model()->rowCount(current.parent()) == 41; };
    bool sortedWhenAllIn = false;
    QObject::connect(tree.model(), &QAbstractItemModel::layoutChanged, &tree,
                     [&] { sortedWhenAllIn = sortedWhenAllIn || allIn(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return allIn() && sortedWhenAllIn && inSight(); }, 5000));
    EXPECT_TRUE(tree.selectionModel()->isSelected(current));
    EXPECT_TRUE(inSight()) << tree.visualRect(current).y() << " in " << tree.viewport()->height();
}

}  // namespace
