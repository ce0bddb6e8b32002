// The command line: books named in order become absolute paths, Qt's own
// window options pass through to the application object, and the help,
// the version and anything unknown end the program with the right code.

#include "ui/platform/command_line.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString kWorking = QStringLiteral("/home/读者/小说");

CommandLine Parse(const QStringList& arguments)
{
    return ParseCommandLine(QStringList{QStringLiteral("txtreader")} + arguments, kWorking);
}

TEST(CommandLine, BooksKeepTheirOrderAndBecomeAbsolute)
{
    const CommandLine line = Parse({QStringLiteral("第2卷.txt"), QStringLiteral("/书/甲 乙.txt"),
                                    QStringLiteral("../旧/./第1卷.txt"), QStringLiteral("第2卷.txt")});
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.books,
              QStringList({"/home/读者/小说/第2卷.txt", "/书/甲 乙.txt", "/home/读者/旧/第1卷.txt",
                           "/home/读者/小说/第2卷.txt"}));
    EXPECT_EQ(line.ExitCode(), 0);

    // Nothing named: the help document as ever. After "--" a name may
    // start with a dash.
    EXPECT_TRUE(Parse({}).books.isEmpty());
    EXPECT_EQ(Parse({QStringLiteral("--"), QStringLiteral("-新书.txt")}).books,
              QStringList({"/home/读者/小说/-新书.txt"}));
}

TEST(CommandLine, QtsOwnWindowOptionsPassOverWithTheirValues)
{
    const CommandLine line =
        Parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("a.txt"),
               QStringLiteral("-reverse"), QStringLiteral("-style=fusion"), QStringLiteral("-qwindowgeometry"),
               QStringLiteral("800x600"), QStringLiteral("b.txt")});
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.books, QStringList({"/home/读者/小说/a.txt", "/home/读者/小说/b.txt"}));
    // A Qt option without its value is refused like any broken line.
    EXPECT_EQ(Parse({QStringLiteral("a.txt"), QStringLiteral("-platform")}).action, CommandLine::Action::Refuse);
}

TEST(CommandLine, HelpAndVersionPrintToStandardOutputAndEndWithZero)
{
    for (const QString& asked : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const CommandLine help = Parse({QStringLiteral("a.txt"), asked});
        EXPECT_EQ(help.action, CommandLine::Action::ShowHelp) << asked.toStdString();
        EXPECT_EQ(help.ExitCode(), 0);
        EXPECT_FALSE(help.ToStandardError());
        EXPECT_TRUE(help.output.contains(QStringLiteral("--version")));
        EXPECT_TRUE(help.output.contains(QStringLiteral("[文件…]")));
        EXPECT_FALSE(help.output.contains(QStringLiteral("platform")));  // Qt's options stay hidden
        EXPECT_TRUE(help.books.isEmpty());
    }
    for (const QString& asked : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const CommandLine version = Parse({asked});
        EXPECT_EQ(version.action, CommandLine::Action::ShowVersion);
        EXPECT_EQ(version.ExitCode(), 0);
        EXPECT_FALSE(version.ToStandardError());
        EXPECT_TRUE(version.output.startsWith(QCoreApplication::applicationName() + u' '));
        EXPECT_TRUE(version.output.endsWith(u'\n'));
    }
}

TEST(CommandLine, AnUnknownOptionIsRefusedWithTheUsageOnStandardError)
{
    for (const QString& unknown : {QStringLiteral("--frobnicate"), QStringLiteral("-x"), QStringLiteral("--版本")}) {
        const CommandLine line = Parse({QStringLiteral("a.txt"), unknown});
        EXPECT_EQ(line.action, CommandLine::Action::Refuse) << unknown.toStdString();
        EXPECT_EQ(line.ExitCode(), 2);
        EXPECT_TRUE(line.ToStandardError());
        EXPECT_TRUE(line.output.contains(unknown.mid(unknown.lastIndexOf(u'-') + 1))) << line.output.toStdString();
        EXPECT_TRUE(line.output.contains(QStringLiteral("--help")));  // the usage follows
        EXPECT_TRUE(line.books.isEmpty());
    }
}

}  // namespace
