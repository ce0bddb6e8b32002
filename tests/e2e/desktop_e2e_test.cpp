// The real program on the desktop: books named on its command line, a
// second start handing its books to the reader that runs, and what
// book.ini holds when the one reader of the folder closes.

#include "e2e/reader_run.h"

#include <QSet>

#include <unistd.h>

#include <fstream>
#include <memory>

namespace {

using e2e::kHelpDocument;
using e2e::ReaderRun;

const QString kFourChapters = QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n第三章\r\n丙\r\n第四章\r\n丁\r\n");

class OnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override { e2e::MakeProgramFolder(program.Root()); }

    QString Program() const { return program.Path(QStringLiteral("txtreader")); }
    QString Book(const QString& name) const { return books.WriteGbk(name, kFourChapters); }
    // A book line as the reader writes it, CR LF included.
    static QString Line(const QString& path, int chapter, int caret = 1)
    {
        return QStringLiteral("Name=%1,Xcolor=,id=%2,SelStart=%3\r\n").arg(path).arg(chapter).arg(caret);
    }
    QByteArray BookIni() const { return ReadBytes(program.Path(QStringLiteral("book.ini"))); }
    static QByteArray Gbk(const QString& text) { return EncodeGb18030(text); }
    // The book lines of book.ini, in their order.
    QList<QByteArray> BookLines() const
    {
        QList<QByteArray> lines = BookIni().split('\n');
        lines.removeIf([](const QByteArray& line) { return !line.startsWith("Name="); });
        for (QByteArray& line : lines)
            line += '\n';
        return lines;
    }

    TempFolder program;
    TempFolder books;
};

TEST_F(OnTheDesktop, HelpVersionAndUnknownOptionsNeedNoDisplay)
{
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(QString::fromLatin1(name));

    ReaderRun help(Program(), {QStringLiteral("--help")}, books.Root(), bare);
    ASSERT_TRUE(help.Ended());
    EXPECT_EQ(help.ExitCode(), 0);
    EXPECT_TRUE(help.Output().contains(QStringLiteral("--version")));

    ReaderRun version(Program(), {QStringLiteral("--version")}, books.Root(), bare);
    ASSERT_TRUE(version.Ended());
    EXPECT_EQ(version.ExitCode(), 0);
    EXPECT_TRUE(version.Output().startsWith(QStringLiteral("txtreader ")));

    ReaderRun unknown(Program(), {Book(QStringLiteral("甲.txt")), QStringLiteral("--frobnicate")}, books.Root(), bare);
    ASSERT_TRUE(unknown.Ended());
    EXPECT_EQ(unknown.ExitCode(), 2);
    EXPECT_TRUE(unknown.Output().isEmpty());
    const QString errors = unknown.Errors();
    EXPECT_TRUE(errors.contains(QStringLiteral("frobnicate")));
    EXPECT_TRUE(errors.contains(QStringLiteral("--help")));
    // Refused before anything ran: nothing was written.
    EXPECT_FALSE(QFile::exists(program.Path(QStringLiteral("book.ini"))));
}

TEST_F(OnTheDesktop, NamedBooksOpenInOrderInsteadOfTheHelpAndAreRememberedAtClose)
{
    program.WriteGbk(kHelpDocument, QStringLiteral("第一章\r\n帮助\r\n"));
    const QString first = Book(QStringLiteral("甲.txt"));
    const QString second = Book(QStringLiteral("乙.txt"));
    program.WriteGbk(QStringLiteral("book.ini"), QStringLiteral("[Version1.0]\r\n") + Line(first, 2));

    // Names relative to the working folder; the missing one last, where its
    // message box stays open when the window is closed.
    ReaderRun reader(Program(), {QStringLiteral("甲.txt"), QStringLiteral("乙.txt"), QStringLiteral("无此书.txt")},
                     books.Root());
    ASSERT_TRUE(reader.WaitUntilReading());
    EXPECT_EQ(reader.Close(), 0);
    // The first book at the chapter book.ini remembered, the second at its
    // start; no help document, and nothing for the missing file, which
    // leaves the pane (and its caret) as the second book left it.
    EXPECT_EQ(BookIni(), Gbk(QStringLiteral("[Version1.0]\r\n") + Line(first, 2) + Line(second, 0)));
}

// A book whose file name is GBK bytes, named on the command line, opens and
// is remembered in book.ini by those bytes.
TEST_F(OnTheDesktop, ABookNamedInGbkBytesOpensAndIsRememberedByThem)
{
    const QByteArray gbkName("\xce\xf7\xd3\xce\xbc\xc7.txt");  // 西游记.txt
    const QByteArray native = QFile::encodeName(books.Root()) + '/' + gbkName;
    std::ofstream(native.constData(), std::ios::binary) << Gbk(kFourChapters).toStdString();
    // QTemporaryDir cannot remove a name that is not UTF-8.
    const std::unique_ptr<const char, void (*)(const char*)> removeBook(native.constData(),
                                                                        [](const char* name) { ::unlink(name); });
    // QProcess hands arguments over as UTF-8: the shell makes the bytes.
    ReaderRun reader(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral(R"sh(exec "$0" "$(printf '\316\367\323\316\274\307.txt')")sh"), Program()},
                     books.Root());
    ASSERT_TRUE(reader.WaitUntilReading());
    EXPECT_EQ(reader.Close(), 0);
    EXPECT_EQ(BookIni(),
              Gbk(QStringLiteral("[Version1.0]\r\nName=") + books.Root() + u'/') + gbkName
                  + ",Xcolor=,id=0,SelStart=1\r\n");
}

TEST_F(OnTheDesktop, ASecondStartHandsItsBooksToTheRunningReaderAndEnds)
{
    const QString first = Book(QStringLiteral("甲.txt"));
    const QString second = Book(QStringLiteral("乙.txt"));
    ReaderRun running(Program(), {first}, books.Root());
    ASSERT_TRUE(running.WaitUntilReading());

    // From another folder, by a relative name: handed over as a full path.
    TempFolder elsewhere;
    ReaderRun later(Program(), {QDir(elsewhere.Root()).relativeFilePath(second)}, elsewhere.Root());
    ASSERT_TRUE(later.Ended());
    EXPECT_EQ(later.ExitCode(), 0);
    // A start without books only brings the reader to the front.
    ReaderRun bare(Program(), {}, elsewhere.Root());
    ASSERT_TRUE(bare.Ended());
    EXPECT_EQ(bare.ExitCode(), 0);
    EXPECT_FALSE(QFile::exists(program.Path(QStringLiteral("book.ini"))));  // neither wrote anything

    ASSERT_TRUE(running.WaitUntilReading());  // it has opened the book handed over
    EXPECT_EQ(running.Close(), 0);
    EXPECT_EQ(BookIni(), Gbk(QStringLiteral("[Version1.0]\r\n") + Line(first, 0) + Line(second, 0)));
}

TEST_F(OnTheDesktop, AReaderThatDiedDoesNotStopTheNextStart)
{
    ReaderRun crashed(Program(), {Book(QStringLiteral("甲.txt"))}, books.Root());
    ASSERT_TRUE(crashed.WaitUntilReading());
    crashed.Kill();  // its lock file and socket stay behind

    const QString second = Book(QStringLiteral("乙.txt"));
    ReaderRun next(Program(), {second}, books.Root());
    ASSERT_TRUE(next.WaitUntilReading()) << "the next start ended: " << next.Errors().toStdString();
    EXPECT_EQ(next.Close(), 0);
    EXPECT_EQ(BookLines(), QList<QByteArray>({Gbk(Line(second, 0))}));
}

TEST_F(OnTheDesktop, TwoStartsAtOnceMakeOneReaderThatHoldsBothBooks)
{
    const QString first = Book(QStringLiteral("甲.txt"));
    const QString second = Book(QStringLiteral("乙.txt"));
    ReaderRun one(Program(), {first}, books.Root());
    ReaderRun two(Program(), {second}, books.Root());
    // The later start hands its book over and ends.
    const QDeadlineTimer deadline(20000);
    while (one.Running() && two.Running() && !deadline.hasExpired())
        one.Ended(50);
    ASSERT_NE(one.Running(), two.Running()) << "exactly one reader must stay";
    ReaderRun& reader = one.Running() ? one : two;
    ReaderRun& handedOver = one.Running() ? two : one;
    EXPECT_EQ(handedOver.ExitCode(), 0) << handedOver.Errors().toStdString();
    ASSERT_TRUE(reader.WaitUntilReading());
    EXPECT_EQ(reader.Close(), 0);
    const QList<QByteArray> remembered = BookLines();
    EXPECT_EQ(QSet<QByteArray>(remembered.begin(), remembered.end()),
              QSet<QByteArray>({Gbk(Line(first, 0)), Gbk(Line(second, 0))}));
    EXPECT_EQ(remembered.size(), 2);
}

}  // namespace
