#include "support/full_disk.h"
#include "support/open_book.h"
#include "support/scripted_prompter.h"
#include "support/test_files.h"
#include "ui/main_window/main_window.h"

#include <QFile>

namespace {

const QByteArray kOldIni = "[Version1.0]\r\nName=/home/reader/a.txt,Xcolor=,id=3,SelStart=1\r\n";
const QByteArray kOldPos = "Name=/home/reader/a.txt,id=3,Pos=1200,Enc=Big5\r\n";

// A program folder on a disk of its own, with the book.ini of an earlier
// run and the window on it, one book open.
class ClosingOnADisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!disk.Mounted())
            GTEST_SKIP() << "a full disk needs a tmpfs of its own: run as root (as CI does)";
        QFile ini(disk.Path(QStringLiteral("book.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ASSERT_EQ(ini.write(kOldIni), kOldIni.size());
        ini.close();
        QFile pos(disk.Path(QStringLiteral("book.pos")));
        ASSERT_TRUE(pos.open(QIODevice::WriteOnly));
        ASSERT_EQ(pos.write(kOldPos), kOldPos.size());
        pos.close();
        window = std::make_unique<MainWindow>(state, prompter, ReaderFolders::Portable(disk.Root()));
        OpenBook(*window,
                 books.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲文\r\n第二章\r\n乙文\r\n")));
        ASSERT_EQ(state.Books.Count(), 1);
    }

    // The close failed: the old files are whole, and the user was told
    // which files and why, in one message, before the program ended.
    void ExpectToldAndKept(const char* reasonPart)
    {
        EXPECT_TRUE(window->Quitting());
        EXPECT_EQ(ReadBytes(disk.Path(QStringLiteral("book.ini"))), kOldIni);
        EXPECT_EQ(ReadBytes(disk.Path(QStringLiteral("book.pos"))), kOldPos);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
        EXPECT_TRUE(prompter.messages[0].text.contains(disk.Path(QStringLiteral("book.ini"))));
        EXPECT_TRUE(prompter.messages[0].text.contains(disk.Path(QStringLiteral("book.pos"))));
        EXPECT_TRUE(prompter.messages[0].text.contains(QString::fromLatin1(reasonPart), Qt::CaseInsensitive))
            << prompter.messages[0].text.toStdString();
    }

    SmallDisk disk{64 * 1024};
    TempFolder books;
    ReaderState state;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> window;
};

// A full disk used to leave book.ini empty (0 bytes) in silence.
TEST_F(ClosingOnADisk, FullDiskKeepsBookIniAndTellsTheUser)
{
    ASSERT_TRUE(disk.Fill());
    window->close();
    ExpectToldAndKept("space");
}

TEST_F(ClosingOnADisk, ReadOnlyProgramFolderTellsTheUser)
{
    ASSERT_TRUE(disk.MakeReadOnly());
    window->close();
    ExpectToldAndKept("writable");
}

TEST_F(ClosingOnADisk, RoomEnoughWritesQuietly)
{
    window->close();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(ReadBytes(disk.Path(QStringLiteral("book.ini"))).contains("id=-1,SelStart="));
    EXPECT_TRUE(ReadBytes(disk.Path(QStringLiteral("book.pos"))).endsWith("id=-1,Pos=0,Enc=\r\n"));
}

// book.pos alone cannot be written (a folder has its name): book.ini is
// written all the same, and the user is told about book.pos alone.
TEST(Closing, ABookPosThatCannotBeWrittenIsReportedAlone)
{
    TempFolder program;
    TempFolder books;
    QDir().mkpath(program.Path(QStringLiteral("book.pos")));
    ReaderState state;
    ScriptedPrompter prompter;
    MainWindow window(state, prompter, ReaderFolders::Portable(program.Root()));
    OpenBook(window, books.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n甲文\r\n")));
    window.close();
    EXPECT_TRUE(window.Quitting());
    EXPECT_TRUE(ReadBytes(program.Path(QStringLiteral("book.ini"))).contains(EncodeGb18030(QStringLiteral("甲.txt"))));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(
        QStringLiteral("无法保存设置文件 book.pos，本次章节内的阅读位置和文字编码没有记下。")));
    EXPECT_TRUE(prompter.messages[0].text.contains(program.Path(QStringLiteral("book.pos"))));
    EXPECT_FALSE(prompter.messages[0].text.contains(QStringLiteral("book.ini")));
}

}  // namespace
