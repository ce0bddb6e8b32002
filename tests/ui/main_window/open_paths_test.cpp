// Books named from outside the window (the command line, a second start
// handing over its files, a drop) open one after the other exactly as the
// open command opens a chosen file; none is refused while another loads.

#include "core/books/text_loader.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/start_up.h"

#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <unistd.h>

#include <functional>

namespace {

class OpeningPaths : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        LoadTwoSkins();
    }
    QString FourChapters(const QString& name)
    {
        return WriteBook(name,
                         QStringLiteral("第一章\r\n甲文\r\n第二章\r\n乙文\r\n第三章\r\n丙文\r\n第四章\r\n丁文\r\n"));
    }
    // Big enough that its load yields to the event loop many times.
    QString BigBook()
    {
        // Long enough that the load yields, with fewer chapters than a
        // book may hold (more would be cut off, and say so).
        QString text;
        const QString body = QStringLiteral("正文正文\r\n").repeated(8);
        for (int i = 0; i < 30000; ++i)
            text += QStringLiteral("第%1章\r\n").arg(i + 1) + body;
        return WriteBook(QStringLiteral("大.txt"), text);
    }
    // Runs `command`, which starts reading a book, and hands `path` to the
    // window while that book is read; whether it was still being read.
    bool ArrivesDuringTheLoad(const QString& path, const std::function<void()>& command)
    {
        command();
        const bool loading = window->Reading().Loading();
        window->OpenPaths({path});
        return loading;
    }
    QStringList Paths() const
    {
        QStringList paths;
        for (int slot = 1; slot <= state.Books.Count(); ++slot)
            paths.append(state.Books[slot].Path);
        return paths;
    }
    int SkinIndex(const QString& name) const
    {
        for (int i = 1; i <= state.Skins.Count(); ++i) {
            if (state.Skins[i].Name == name)
                return i;
        }
        return 0;
    }
};

TEST_F(OpeningPaths, EachOpensInOrderWithItsPlaceRestoredAndAMissingOneIsReported)
{
    const QString first = FourChapters(QStringLiteral("甲.txt"));
    const QString missing = books.Path(QStringLiteral("不存在.txt"));
    const QString last = FourChapters(QStringLiteral("乙.txt"));
    program.WriteGbk(QStringLiteral("book.ini"),
                     "[Version1.0]\r\nName=" + first + QStringLiteral(",Xcolor=水墨,id=2,SelStart=1\r\n"));

    window->OpenPaths({first, missing, last});
    WaitUntilIdle(*window);

    EXPECT_EQ(Paths(), QStringList({first, last}));
    EXPECT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(state.Books[1].ChapterIndex, 2);  // from book.ini
    EXPECT_EQ(state.CurrentSkin, SkinIndex(QStringLiteral("水墨")));
    EXPECT_EQ(state.Current().ChapterIndex, 0);  // no line: chapter 0, as the open command
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲文\r\n"));
    EXPECT_EQ(window->BookItems().Captions(), QStringList({QStringLiteral("甲.txt"), QStringLiteral("乙.txt")}));
    // Named from outside the window, the missing book is named back.
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("文件打开错误!\n文件: %1\n原因: 找不到文件").arg(missing));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(window->Reading().LastFolder(), QFileInfo(last).absolutePath());
}

// A hidden file named on the command line is opened: the user named it.
TEST_F(OpeningPaths, AHiddenBookNamedExplicitlyOpens)
{
    const QString hidden = FourChapters(QStringLiteral(".笔记.txt"));
    window->OpenPaths({hidden});
    ASSERT_TRUE(WaitUntilIdle(*window));
    EXPECT_EQ(Paths(), QStringList({hidden}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(OpeningPaths, AnUnreadableBookDoesNotStopTheOnesAfterIt)
{
    const QString first = FourChapters(QStringLiteral("甲.txt"));
    const QString folder = books.Path(QStringLiteral("文件夹.txt"));
    QDir().mkpath(folder);
    const QString locked = FourChapters(QStringLiteral("锁.txt"));
    const bool canLock = ::geteuid() != 0 && QFile::setPermissions(locked, QFile::WriteOwner);
    const QString last = FourChapters(QStringLiteral("乙.txt"));

    window->OpenPaths({first, folder, locked, last});
    WaitUntilIdle(*window);

    QStringList expected{first, last};
    if (!canLock)  // the superuser reads it all the same
        expected.insert(1, locked);
    EXPECT_EQ(Paths(), expected);
    EXPECT_EQ(state.CurrentBook, state.Books.Count());
    for (const ScriptedPrompter::Shown& shown : prompter.messages)
        EXPECT_EQ(shown.caption, QStringLiteral("提示"));
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("文件打开错误!\n文件: %1\n原因: 是文件夹，不是文本文件").arg(folder));
}

TEST_F(OpeningPaths, PathsArrivingDuringAnOpenCommandWaitForItInsteadOfBeingRefused)
{
    const QString big = BigBook();
    const QString small = FourChapters(QStringLiteral("小.txt"));
    prompter.files = {big};
    const bool handedOver = ArrivesDuringTheLoad(small, [&] { window->OpenFile(); });
    ASSERT_TRUE(handedOver) << "the load never yielded while loading";

    // Not opened inside the loading command, and not refused either.
    EXPECT_EQ(Paths(), QStringList({big}));
    EXPECT_TRUE(prompter.messages.empty());
    ASSERT_TRUE(WaitUntilIdle(*window));
    EXPECT_EQ(Paths(), QStringList({big, small}));
    EXPECT_EQ(state.CurrentBook, 2);
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("甲文\r\n"));
}

TEST_F(OpeningPaths, PathsArrivingWhileOthersOpenJoinTheQueue)
{
    const QString big = BigBook();
    const QString small = FourChapters(QStringLiteral("小.txt"));
    const QString other = FourChapters(QStringLiteral("另.txt"));
    const bool handedOver = ArrivesDuringTheLoad(small, [&] { window->OpenPaths({big, other}); });
    ASSERT_TRUE(handedOver);
    ASSERT_TRUE(WaitUntilIdle(*window));
    // All three in the order they were named, the latecomer last.
    EXPECT_EQ(Paths(), QStringList({big, other, small}));
    EXPECT_EQ(state.CurrentBook, 3);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(OpeningPaths, StartUpOpensTheNamedBooksInsteadOfTheHelpDocument)
{
    program.WriteGbk(QStringLiteral("热列庆祝中华人民共和国成立60周年.txt"), QStringLiteral("第一章\r\n帮助\r\n"));
    const QString book = FourChapters(QStringLiteral("甲.txt"));
    ReaderState fresh;
    MainWindow started(fresh, prompter, ReaderFolders::Portable(program.Root()));
    StartUp(started, {book});
    WaitUntilIdle(started);
    EXPECT_TRUE(started.isVisible());
    ASSERT_EQ(fresh.Books.Count(), 1);
    EXPECT_EQ(fresh.Books[1].Path, book);
    EXPECT_EQ(started.Pane().Text(), QStringLiteral("甲文\r\n"));
    ASSERT_TRUE(fresh.Skins.IsSkin(fresh.CurrentSkin));  // the default skin was chosen first
    EXPECT_EQ(fresh.Skins[fresh.CurrentSkin].Name, QStringLiteral("言情"));
}

QMimeData* Urls(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

TEST_F(OpeningPaths, OnlyLocalTextFilesAreTakenFromADrop)
{
    const QString book = FourChapters(QStringLiteral("甲.txt"));
    const QString capitals = FourChapters(QStringLiteral("乙.TXT"));
    const QString picture = books.WriteBytes(QStringLiteral("图.jpg"), "jpeg");
    QDir().mkpath(books.Path(QStringLiteral("文件夹.txt")));
    const std::unique_ptr<QMimeData> dropped(Urls(
        {QUrl::fromLocalFile(book), QUrl::fromLocalFile(picture), QUrl(QStringLiteral("https://example.org/a.txt")),
         QUrl::fromLocalFile(books.Path(QStringLiteral("文件夹.txt"))), QUrl::fromLocalFile(capitals),
         // a file manager's URL of a GBK name: its bytes percent-encoded
         QUrl::fromEncoded("file://" + QUrl::toPercentEncoding(books.Root(), "/") + "/%CE%F7%D3%CE.txt")}));
    const QString gbkNamed = books.Root() + QStringLiteral("/\xdcce\xdcf7\xdcd3\xdcce.txt");
    EXPECT_EQ(DroppedBooks(*dropped), QStringList({book, capitals, gbkNamed}));
    auto textOnly = std::make_unique<QMimeData>();
    textOnly->setText(book);
    EXPECT_TRUE(DroppedBooks(*textOnly).isEmpty());
}

TEST_F(OpeningPaths, DroppedTextFilesOpenAndOtherDropsAreRefused)
{
    const QString book = FourChapters(QStringLiteral("甲.txt"));
    const QString picture = books.WriteBytes(QStringLiteral("图.jpg"), "jpeg");
    EXPECT_TRUE(window->acceptDrops());
    EXPECT_FALSE(window->Pane().acceptDrops());  // the pane would paste the name as text

    const std::unique_ptr<QMimeData> pictureOnly(Urls({QUrl::fromLocalFile(picture)}));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, pictureOnly.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDropEvent ignored(QPointF(10, 10), Qt::CopyAction, pictureOnly.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &ignored);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ignored.isAccepted());
    EXPECT_EQ(state.Books.Count(), 0);

    const std::unique_ptr<QMimeData> withBook(Urls({QUrl::fromLocalFile(picture), QUrl::fromLocalFile(book)}));
    QDragEnterEvent entered(QPoint(10, 10), Qt::CopyAction, withBook.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &entered);
    EXPECT_TRUE(entered.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, withBook.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.Books.Count() == 1; }, 5000));
    EXPECT_EQ(Paths(), QStringList({book}));
    EXPECT_EQ(state.Current().ChapterIndex, 0);
}

}  // namespace
