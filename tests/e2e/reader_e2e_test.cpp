// The real program, started in a program folder of its own and closed
// through its window: what it writes to book.ini is checked byte for byte.

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

const QString kHelp = QStringLiteral("热列庆祝中华人民共和国成立60周年.txt");

class ReaderProcess {
public:
    explicit ReaderProcess(const QString& programFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(environment);
        process_.setWorkingDirectory(programFolder);
        process_.start(QDir(programFolder).filePath(QStringLiteral("txtreader")), {});
        EXPECT_TRUE(process_.waitForStarted(10000));
    }

    // Lets start-up finish, then asks the window to close the way a desktop
    // does when the session ends.
    int CloseWindow()
    {
        QThread::msleep(2500);
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        EXPECT_TRUE(process_.waitForFinished(20000));
        return process_.exitCode();
    }

private:
    QProcess process_;
};

TEST(EndToEnd, ClosingWritesBookIniAndTheNextStartReadsIt)
{
    TempFolder program;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TXTREADER_BINARY), program.Path(QStringLiteral("txtreader"))));
    QFile::setPermissions(program.Path(QStringLiteral("txtreader")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QDir().mkpath(program.Path(QStringLiteral("Skin")));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(READER_DATA_DIR "/Skin/言情.ini"), program.Path(QStringLiteral("Skin/言情.ini"))));
    program.WriteGbk(kHelp, QStringLiteral("第一章 开始\r\n正文\r\n第二章 结束\r\n正文\r\n"));
    TempFolder books;
    const QString older = books.WriteGbk(QStringLiteral("旧书.txt"), QStringLiteral("第一章\r\n正文\r\n"));
    program.WriteGbk(QStringLiteral("book.ini"), "[Version1.0]\r\nName=" + older + ",Xcolor=言情,id=3,SelStart=9\r\n");

    // The help document is the one book of this run, on its contents view;
    // no skin was ever chosen for it; the older line is dropped.
    const QByteArray expected =
        EncodeGb18030("[Version1.0]\r\nName=" + program.Path(kHelp) + QStringLiteral(",Xcolor=,id=-1,SelStart=1\r\n"));
    {
        ReaderProcess reader(program.Root());
        EXPECT_EQ(reader.CloseWindow(), 0);
    }
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), expected);

    // A second start reads that file and, closed again, writes the same.
    {
        ReaderProcess reader(program.Root());
        EXPECT_EQ(reader.CloseWindow(), 0);
    }
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), expected);
}

}  // namespace
