// Three starts of the real program under a virtual X display, books opened
// the way a reader opens them (文件 → 最近打开的文件), with every path in
// folders named 小说 and 目录. Their GBK bytes are valid UTF-8, and so is the
// whole book.ini here (ASCII file names, the skin 水墨, no help document):
// guessed like a book it would read as UTF-8 and find no file. After each
// close book.ini holds every book's path, chapter and skin as before.

#include "e2e/reader_program.h"

#include <QStandardPaths>

namespace {

QString Tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Opens recent-file item `item` with the keyboard once the menu is open:
// from no active item, Up twice reaches "最近打开的文件", Right opens it on
// its first item.
QString OpenRecent(int item, const QString& waitForCaption)
{
    QString keys = QStringLiteral("xdotool mousemove 21 11 click 1; sleep 0.8; xdotool key Up Up Right; sleep 0.5; ");
    for (int i = 0; i < item; ++i)
        keys += QStringLiteral("xdotool key Down; ");
    return keys + QStringLiteral("xdotool key Return; timeout 20 xdotool search --sync --name '") + waitForCaption
        + QStringLiteral("' >/dev/null; sleep 0.5; ");
}

TEST(Restarts, ChapterAndSkinOfEveryBookSurviveThreeRestarts)
{
    if (Tool("xvfb-run").isEmpty() || Tool("xdotool").isEmpty())
        GTEST_SKIP() << "needs xvfb-run and xdotool (scripts/bootstrap.sh installs them)";
    TempFolder root;
    const QString program = root.Path(QStringLiteral("小说/目录"));
    MakeProgramFolder(program, {QStringLiteral("言情"), QStringLiteral("水墨"), QStringLiteral("夜读")});
    ASSERT_TRUE(QFile::remove(QDir(program).filePath(kHelpDocument)));
    // ASCII file names, so the window caption can be waited for.
    const QString journey = root.Path(QStringLiteral("小说/xiyouji.txt"));
    const QString mansion = root.Path(QStringLiteral("目录/hongloumeng.txt"));
    QDir().mkpath(QFileInfo(mansion).path());
    ASSERT_TRUE(QFile::copy(QStringLiteral(READER_CORPUS_DIR "/xiyouji.gbk.txt"), journey));
    ASSERT_TRUE(QFile::copy(QStringLiteral(READER_CORPUS_DIR "/hongloumeng.gbk.txt"), mansion));

    const QByteArray remembered = EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=") + journey
                                                + QStringLiteral(",Xcolor=水墨,id=5,SelStart=1\r\nName=") + mansion
                                                + QStringLiteral(",Xcolor=水墨,id=2,SelStart=1\r\n"));
    ASSERT_TRUE(QString::fromUtf8(remembered).toUtf8() == remembered)
        << "the test needs a book.ini that is valid UTF-8";
    // The caret saved at the close is wherever the pane's caret stood; the
    // rest of every line is compared byte for byte.
    auto withoutCaret = [](QByteArray bytes) {
        return bytes.replace(QByteArrayView(",SelStart=0"), QByteArrayView(",SelStart=1"));
    };
    const QString ini = QDir(program).filePath(QStringLiteral("book.ini"));
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(remembered);
    }

    // The recent list is the two books.
    const QString session = QStringLiteral("cd '") + program
        + QStringLiteral("' || exit 9; ./txtreader & reader=$!; "
                         "timeout 20 xdotool search --sync --onlyvisible --pid $reader >/dev/null; sleep 1; ")
        + OpenRecent(0, QStringLiteral("xiyouji")) + OpenRecent(1, QStringLiteral("hongloumeng"))
        + QStringLiteral("kill -TERM $reader; wait $reader");
    for (int start = 1; start <= 3; ++start) {
        QProcessEnvironment x11;
        x11.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // Under the sanitizers, LeakSanitizer's exit check now and then
        // crashes in its own tracer on a program that talked to a real X
        // server; the offscreen tests check for leaks.
        const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
        x11.insert(QStringLiteral("ASAN_OPTIONS"),
                   (asan.isEmpty() ? asan : asan + QLatin1Char(':')) + QStringLiteral("detect_leaks=0"));
        ReaderRun run(program,
                      {Tool("xvfb-run"), QStringLiteral("-a"), QStringLiteral("-s"),
                       QStringLiteral("-screen 0 1280x800x24"), QStringLiteral("bash"), QStringLiteral("-c"), session},
                      x11);
        EXPECT_EQ(run.Finish(90000), 0) << "start " << start << ": " << run.Stderr().toStdString();
        EXPECT_EQ(withoutCaret(ReadBytes(ini)), remembered) << "start " << start;
    }
}

}  // namespace
