#include "core/library/library_store.h"
#include "support/scripted_prompter.h"
#include "support/test_files.h"
#include "ui/dialogs/library_window.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

// Keys with text, one character at a time, as an input method commits
// Chinese text.
void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QDateTime At(int day)
{
    return QDateTime(QDate(2024, 3, day), QTime(20, 0), Qt::UTC);
}

// A real library in a temporary folder, with real book files, and the
// window over it.
class LibraryWindowTest : public ::testing::Test {
protected:
    QString Book(const QString& name, int readOnDay = 0)
    {
        QString path = folder.WriteGbk(name, QStringLiteral("第一章\r\n正文\r\n"));
        EXPECT_TRUE(readOnDay ? store.NoteBook(LibraryBook{.path = path, .size = 20}, At(readOnDay))
                              : store.AddBooks({LibraryBook{.path = path, .size = 20}}));
        return path;
    }
    LibraryWindow& Open()
    {
        window = std::make_unique<LibraryWindow>(store, prompter);
        window->show();
        table = window->findChild<QTableView*>(QStringLiteral("bookTable"));
        return *window;
    }
    QStringList Titles() const
    {
        QStringList titles;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            titles.append(table->model()->index(row, 0).data().toString());
        return titles;
    }
    void Select(const QString& title)
    {
        const int row = static_cast<int>(Titles().indexOf(title));
        ASSERT_GE(row, 0) << qPrintable(title);
        table->setCurrentIndex(table->model()->index(row, 0));
    }
    void Click(const QString& button)
    {
        QPushButton* pushed = window->findChild<QPushButton*>(button);
        ASSERT_TRUE(pushed && pushed->isEnabled()) << qPrintable(button);
        QTest::mouseClick(pushed, Qt::LeftButton);
    }

    TempFolder folder;
    LibraryStore store{folder.Path(QStringLiteral("library.sqlite"))};
    ScriptedPrompter prompter;
    std::unique_ptr<LibraryWindow> window;
    QTableView* table = nullptr;
};

TEST_F(LibraryWindowTest, FiltersAsYouTypeSortsByTheHeaderAndOpensWithEnterOrDoubleClick)
{
    Book(QStringLiteral("玄幻/第10卷.txt"), 3);
    Book(QStringLiteral("玄幻/第2卷.TXT"), 5);
    Book(QStringLiteral("都市/Abc.txt"), 4);
    Book(QStringLiteral("都市/第1卷.txt"));  // never read: last
    Open();
    EXPECT_EQ(window->objectName(), QStringLiteral("libraryWindow"));
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(Titles(),
              QStringList(
                  {QStringLiteral("第2卷"), QStringLiteral("Abc"), QStringLiteral("第10卷"), QStringLiteral("第1卷")}));

    auto* filter = window->findChild<QLineEdit*>(QStringLiteral("libraryFilter"));
    Type(filter, QStringLiteral("ABC"));
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("Abc")}));
    filter->clear();
    Type(filter, QStringLiteral("玄幻"));  // the folder
    EXPECT_EQ(Titles().size(), 2);
    filter->clear();

    QHeaderView* header = table->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    };
    // Titles in natural order (where Latin and Han letters go is the locale's).
    clickHeader(0);
    const QStringList byTitle = Titles();
    EXPECT_EQ(byTitle.filter(QStringLiteral("卷")),
              QStringList({QStringLiteral("第1卷"), QStringLiteral("第2卷"), QStringLiteral("第10卷")}));
    clickHeader(0);
    EXPECT_EQ(Titles(), QStringList(byTitle.rbegin(), byTitle.rend()));
    clickHeader(2);  // 最后阅读: the newest first again
    EXPECT_EQ(Titles().first(), QStringLiteral("第2卷"));

    QSignalSpy opened(window.get(), &LibraryWindow::OpenRequested);
    Select(QStringLiteral("第10卷"));
    QTest::keyClick(table, Qt::Key_Return);
    Select(QStringLiteral("Abc"));
    const QPoint onAbc = table->visualRect(table->currentIndex()).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, onAbc);  // a double click's first press
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, onAbc);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0][0].toString(), folder.Path(QStringLiteral("玄幻/第10卷.txt")));
    EXPECT_EQ(opened[1][0].toString(), folder.Path(QStringLiteral("都市/Abc.txt")));
}

TEST_F(LibraryWindowTest, RemovingAsksFirstTakesTheBookmarksAndKeepsTheFile)
{
    const QString kept = Book(QStringLiteral("甲.txt"), 1);
    const QString other = Book(QStringLiteral("乙.txt"), 2);
    ASSERT_TRUE(store.AddBookmark(Bookmark{.path = kept, .place = {0, 3}}));
    ASSERT_TRUE(store.AddBookmark(Bookmark{.path = other, .place = {0, 5}}));
    Open();
    prompter.yesAnswers = {false, true};
    Select(QStringLiteral("甲"));
    Click(QStringLiteral("removeButton"));
    EXPECT_EQ(Titles().size(), 2);
    Click(QStringLiteral("removeButton"));

    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("1 个书签")))
        << qPrintable(prompter.messages[0].text);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("文件本身不会被删除")));
    EXPECT_EQ(prompter.messages[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("乙")}));
    EXPECT_FALSE(store.Book(kept).has_value());
    EXPECT_EQ(store.Bookmarks().size(), 1);
    EXPECT_TRUE(QFileInfo::exists(kept));
}

TEST_F(LibraryWindowTest, AMissingFileIsShownAsSuchAndRelocatedWithItsHistory)
{
    const QString gone = folder.Path(QStringLiteral("旧/甲.txt"));
    ASSERT_TRUE(store.NoteBook(
        LibraryBook{.path = gone, .place = {4, 9}, .chapterTitle = QStringLiteral("第五章"), .progress = 0.5}, At(1)));
    const QString present = Book(QStringLiteral("乙.txt"), 2);
    Open();
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("乙"), QStringLiteral("甲（文件不见了）")}));
    Select(QStringLiteral("乙"));
    EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("relocateButton"))->isEnabled());

    // Opening it offers to look for it; picking the moved file opens that.
    const QString moved = folder.WriteGbk(QStringLiteral("新/甲.txt"), QStringLiteral("第一章\r\n"));
    prompter.yesAnswers = {true};
    prompter.files = {moved};
    QSignalSpy opened(window.get(), &LibraryWindow::OpenRequested);
    Select(QStringLiteral("甲（文件不见了）"));
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].toString(), moved);
    EXPECT_FALSE(store.Book(gone).has_value());
    EXPECT_EQ(store.Book(moved)->place, (ReadingPlace{4, 9}));
    EXPECT_TRUE(Titles().contains(QStringLiteral("甲")));
    EXPECT_TRUE(Titles().filter(QStringLiteral("不见")).isEmpty());

    // Pointing a missing book at a file already in the library is refused and said.
    ASSERT_TRUE(store.AddBooks({LibraryBook{.path = gone}}));
    window->Refresh();
    prompter.files = {present};
    Select(QStringLiteral("甲（文件不见了）"));
    Click(QStringLiteral("relocateButton"));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("错误提示"));
    EXPECT_TRUE(store.Book(gone).has_value());
}

TEST_F(LibraryWindowTest, BookmarksJumpTakeANoteAndAreDeletedAfterAQuestion)
{
    const QString path = Book(QStringLiteral("甲.txt"), 1);
    Bookmark mark{.path = path,
                  .place = {2, 40},
                  .chapterTitle = QStringLiteral("第三章"),
                  .excerpt = QStringLiteral("山雨欲来")};
    ASSERT_TRUE(store.AddBookmark(mark, &mark.id));
    Open();
    window->findChild<QTabWidget*>(QStringLiteral("libraryTabs"))->setCurrentIndex(1);
    auto* marks = window->findChild<QTableView*>(QStringLiteral("bookmarkTable"));
    ASSERT_EQ(marks->model()->rowCount(), 1);
    EXPECT_EQ(marks->model()->index(0, 0).data().toString(), QStringLiteral("甲"));
    marks->setCurrentIndex(marks->model()->index(0, 0));

    QSignalSpy jumped(window.get(), &LibraryWindow::BookmarkRequested);
    Click(QStringLiteral("jumpButton"));
    ASSERT_EQ(jumped.size(), 1);
    EXPECT_EQ(jumped[0][0].value<Bookmark>().place, mark.place);

    Click(QStringLiteral("editNoteButton"));
    auto* editor = marks->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Type(editor, QStringLiteral("伏笔"));
    QTest::keyClick(editor, Qt::Key_Return);  // the delegate commits on the next turn of the loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return store.Bookmarks().value(0).note == QStringLiteral("伏笔"); }, 5000));

    prompter.yesAnswers = {true};
    Click(QStringLiteral("deleteBookmarkButton"));
    EXPECT_TRUE(store.Bookmarks().isEmpty());
    EXPECT_EQ(marks->model()->rowCount(), 0);
}

}  // namespace

namespace {

// 添加文件夹… finds the books of a folder and of its folders on a worker
// and adds the new ones unread; hidden and other files stay out.
TEST_F(LibraryWindowTest, AddingAFolderAddsItsBooksUnread)
{
    Book(QStringLiteral("书库/甲.txt"), 1);
    const QString second = folder.WriteGbk(QStringLiteral("书库/卷二/乙.TXT"), QStringLiteral("正文\r\n"));
    folder.WriteGbk(QStringLiteral("书库/.丙.txt"), QStringLiteral("正文\r\n"));
    folder.WriteGbk(QStringLiteral("书库/.藏/丁.txt"), QStringLiteral("正文\r\n"));
    folder.WriteGbk(QStringLiteral("书库/说明.md"), QStringLiteral("正文\r\n"));
    Open();
    prompter.folders = {folder.Path(QStringLiteral("书库"))};
    Click(QStringLiteral("addFolderButton"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.messages.empty(); }, 10000));
    EXPECT_TRUE(prompter.messages.back().text.contains(QStringLiteral("找到 2 本书，新加入书架 1 本")))
        << qPrintable(prompter.messages.back().text);
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("甲"), QStringLiteral("乙")}));
    const std::optional<LibraryBook> added = store.Book(second);
    ASSERT_TRUE(added.has_value());
    EXPECT_FALSE(added->lastRead.isValid());
    EXPECT_EQ(added->size, QFileInfo(second).size());
}

}  // namespace
