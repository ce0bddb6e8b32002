// The real program under a virtual X display, started again and again in
// the same program folder, driven as a reader drives it: books opened from
// 文件 → 最近打开的文件, a chapter scrolled, an encoding chosen. What one
// start leaves in book.ini and book.pos the next start must bring back.

#include "e2e/reader_run.h"

#include <QStandardPaths>

namespace {

using e2e::kHelpDocument;
using e2e::MakeProgramFolder;
using e2e::ReaderRun;

QString Tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// One start of the reader in the program folder "$1" on a virtual display
// of its own, the same size every time: once its window is up, the actions
// run, then the session ends as a desktop ends it. Sessions may run side by
// side: each tries display numbers upwards from one its pid gives, and
// Xvfb, told the number, ends at once when another server holds it (it
// looks at the lock before it touches a socket) or tells the number once
// it takes connections. Left to choose a number itself, it would try the
// numbers of running servers and take their sockets away. It never resets:
// a reset, after the last client has gone, drops a connection being made.
// An action never waits a fixed time: it waits for what it brings about (a
// menu's window, a box, the caption of the chapter shown), looking again
// at every change X reports (a window mapped or unmapped on the screen, a
// property of the main window set) for 20 s at most; in vain, the session
// ends with status 8. A box is given the keyboard before keys are sent.
const QString kSessionStart = QStringLiteral(R"sh(
cd "$1" || exit 9
server=
for ((number = 100 + $$ % 500; number < 150 + $$ % 500; number++)); do
    coproc display { exec Xvfb :$number -displayfd 1 -screen 0 1280x800x24 -nolisten tcp -noreset 2>xvfb.log; }
    server=$display_PID
    read -t 20 -r _ <&"${display[0]}" && break
    kill $server 2>/dev/null; wait $server; server=
done
[ -n "$server" ] || { echo "no display:" >&2; cat xvfb.log >&2; exit 7; }
fifo=$(mktemp -d)/changes
trap 'kill $server; wait $server; rm -r "${fifo%/*}"' EXIT
export DISPLAY=:$number
mkfifo "$fifo"; exec {changes}<>"$fifo"
xev -root -event substructure >"$fifo" 2>/dev/null &
./txtreader & reader=$!
wait_for() {
    local end=$((SECONDS + 20)) change
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= end)) || ! read -t $((end - SECONDS)) -r change <&$changes; then
            echo "waited 20 s in vain for: $*" >&2
            echo "display :$number, Xvfb's log:" >&2
            cat xvfb.log >&2
            ls -l /tmp/.X11-unix >&2
            kill -KILL $reader
            exit 8
        fi
    done
}
# The reader shows N windows: the main window and one for each menu open.
windows() { [ "$(xdotool search --onlyvisible --pid $reader | wc -l)" -eq "$1" ]; }
caption() { xdotool search --onlyvisible --name "$1"; }
focus() { xdotool search --onlyvisible --name "$1" windowfocus --sync; }
wait_for windows 1
xev -id "$(xdotool search --onlyvisible --pid $reader)" -event property >"$fifo" 2>/dev/null &
)sh");

int RunSession(const QString& program, const QString& actions, QString& errors)
{
    QProcessEnvironment x11 = e2e::OffscreenEnvironment();
    x11.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Under the sanitizers, LeakSanitizer's exit check now and then
    // crashes in its own tracer on a program that talked to a real X
    // server; the offscreen tests check for leaks.
    const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
    x11.insert(QStringLiteral("ASAN_OPTIONS"),
               (asan.isEmpty() ? asan : asan + QLatin1Char(':')) + QStringLiteral("detect_leaks=0"));
    const QString session = kSessionStart + actions + QStringLiteral("\nkill -TERM $reader\nwait $reader\n");
    ReaderRun run(QStringLiteral("bash"), {QStringLiteral("-c"), session, QStringLiteral("session"), program}, program,
                  x11);
    const bool ended = run.Ended(90000);
    errors = run.Errors();
    return ended ? run.ExitCode() : -1;
}

// Opens recent file `item` and waits until the chapter whose caption
// matches `caption` is shown, which the open does once the book is read.
// From no active item of 文件, Up twice reaches 最近打开的文件, and Right
// opens it on its first item.
QString OpenRecent(int item, const QString& caption)
{
    return QStringLiteral(R"sh(
xdotool mousemove 21 11 click 1; wait_for windows 2
xdotool key Up Up Right; wait_for windows 3
xdotool key%1 Return; wait_for caption '%2'
)sh")
        .arg(QStringLiteral(" Down").repeated(item), caption);
}

QString Gb18030File(const QString& path)
{
    return DecodeText(ReadBytes(path), TextEncoding::Gb18030);
}

// Three starts, with every path in folders named 小说 and 目录. Their GBK
// bytes are valid UTF-8, and so is the whole book.ini here (ASCII file
// names, the skin 水墨, no help document): guessed like a book it would
// read as UTF-8 and find no file. After each close book.ini holds every
// book's path, chapter and skin as before.
TEST(Restarts, ChapterAndSkinOfEveryBookSurviveThreeRestarts)
{
    if (Tool("Xvfb").isEmpty() || Tool("xdotool").isEmpty() || Tool("xev").isEmpty())
        GTEST_SKIP() << "needs Xvfb, xdotool and xev (scripts/bootstrap.sh installs them)";
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

    // The recent list is the two books; each opens at its chapter (回5, 回2).
    const QString actions = OpenRecent(0, QStringLiteral("xiyouji\\.txt——第五回"))
        + OpenRecent(1, QStringLiteral("hongloumeng\\.txt——第二回"));
    for (int start = 1; start <= 3; ++start) {
        QString errors;
        EXPECT_EQ(RunSession(program, actions, errors), 0) << "start " << start << ": " << errors.toStdString();
        EXPECT_EQ(withoutCaret(ReadBytes(ini)), remembered) << "start " << start;
    }
}

// A reader scrolls into the middle of a chapter and closes; the next start
// opens the book again from the recent files, does nothing and closes.
// book.pos still holds the same place only if that start showed the book
// there: the close notes the first character on screen.
TEST(Restarts, TheBookComesBackWhereItWasReadInsideTheChapter)
{
    if (Tool("Xvfb").isEmpty() || Tool("xdotool").isEmpty() || Tool("xev").isEmpty())
        GTEST_SKIP() << "needs Xvfb, xdotool and xev (scripts/bootstrap.sh installs them)";
    TempFolder root;
    const QString program = root.Path(QStringLiteral("小说/目录"));
    MakeProgramFolder(program);
    ASSERT_TRUE(QFile::remove(QDir(program).filePath(kHelpDocument)));
    const QString journey = root.Path(QStringLiteral("xiyouji.txt"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(READER_CORPUS_DIR "/xiyouji.gbk.txt"), journey));
    const QString ini = QDir(program).filePath(QStringLiteral("book.ini"));
    const QString pos = QDir(program).filePath(QStringLiteral("book.pos"));
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=") + journey
                                 + QStringLiteral(",Xcolor=言情,id=5,SelStart=1\r\n")));
    }
    const QString chapterFive = QStringLiteral("xiyouji\\.txt——第五回");
    // The window takes a display's input in order: once the menu opened
    // after the wheel turns is up, the pane has scrolled.
    const QString scroll = QStringLiteral(R"sh(
xdotool mousemove 600 400 click --repeat 15 --delay 50 5
xdotool mousemove 21 11 click 1; wait_for windows 2; xdotool key Escape; wait_for windows 1
)sh");
    QString errors;
    ASSERT_EQ(RunSession(program, OpenRecent(0, chapterFive) + scroll, errors), 0) << errors.toStdString();
    const QString left = Gb18030File(pos);
    const QString prefix = QStringLiteral("Name=") + journey + QStringLiteral(",id=5,Pos=");
    ASSERT_TRUE(left.startsWith(prefix)) << left.toStdString();
    ASSERT_TRUE(left.endsWith(QStringLiteral(",Enc=\r\n"))) << left.toStdString();
    const qsizetype place = left.mid(prefix.size()).section(u',', 0, 0).toLongLong();
    ASSERT_GT(place, 0) << left.toStdString();

    ASSERT_EQ(RunSession(program, OpenRecent(0, chapterFive), errors), 0) << errors.toStdString();
    EXPECT_EQ(Gb18030File(pos), left);
    EXPECT_TRUE(Gb18030File(ini).contains(QStringLiteral(",id=5,"))) << Gb18030File(ini).toStdString();
}

// The guess reads a short Big5 book as GB18030; the reader chooses
// 查看 → 文字编码 → Big5 and closes. The next start reads the book in Big5
// again: its chapter 1 (which the wrong reading does not have) stays the
// chapter book.ini remembers, and book.pos keeps the choice.
TEST(Restarts, ABookReadInAChosenEncodingComesBackInIt)
{
    if (Tool("Xvfb").isEmpty() || Tool("xdotool").isEmpty() || Tool("xev").isEmpty())
        GTEST_SKIP() << "needs Xvfb, xdotool and xev (scripts/bootstrap.sh installs them)";
    TempFolder root;
    const QString program = root.Path(QStringLiteral("reader"));
    MakeProgramFolder(program);
    ASSERT_TRUE(QFile::remove(QDir(program).filePath(kHelpDocument)));
    const QString book = root.Path(QStringLiteral("rulin.txt"));
    {
        QFile file(book);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            EncodeText(QStringLiteral("第一回　說\r\n人生。\r\n第二回　王\r\n話說。\r\n第三回　周\r\n秀才。\r\n"),
                       TextEncoding::Big5));
    }
    const QString ini = QDir(program).filePath(QStringLiteral("book.ini"));
    const QString pos = QDir(program).filePath(QStringLiteral("book.pos"));
    const QString remembered =
        QStringLiteral("[Version1.0]\r\nName=") + book + QStringLiteral(",Xcolor=,id=1,SelStart=1\r\n");
    auto writeIni = [&] {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EncodeGb18030(remembered));
    };
    writeIni();
    // Read wrongly the book has no headings: "本书无目录" is answered first,
    // once its box is up and has the keyboard. 查看 is the second menu; from no
    // active item, Up reaches its last item, 文字编码, and Right opens it on
    // 自动; Big5 is three further down. Read in Big5, chapter 0 is 第一回.
    const QString openAndChooseBig5 = QStringLiteral(R"sh(
xdotool mousemove 21 11 click 1; wait_for windows 2
xdotool key Up Up Right; wait_for windows 3
xdotool key Return; wait_for caption 文章提示; focus 文章提示
xdotool key Return; wait_for caption 'rulin\.txt'
xdotool mousemove 60 11 click 1; wait_for windows 2
xdotool key Up Right; wait_for windows 3
xdotool key Down Down Down Return; wait_for caption 'rulin\.txt——第一回'
)sh");
    QString errors;
    ASSERT_EQ(RunSession(program, openAndChooseBig5, errors), 0) << errors.toStdString();
    ASSERT_TRUE(Gb18030File(pos).endsWith(QStringLiteral(",Enc=Big5\r\n"))) << Gb18030File(pos).toStdString();

    // Chapter 1 again, as a reader who had read it there would have left it:
    // in Big5 it is 第二回.
    writeIni();
    ASSERT_EQ(RunSession(program, OpenRecent(0, QStringLiteral("rulin\\.txt——第二回")), errors), 0)
        << errors.toStdString();
    EXPECT_EQ(Gb18030File(pos), QStringLiteral("Name=") + book + QStringLiteral(",id=1,Pos=0,Enc=Big5\r\n"));
    EXPECT_TRUE(Gb18030File(ini).contains(QStringLiteral(",id=1,"))) << Gb18030File(ini).toStdString();
}

}  // namespace
