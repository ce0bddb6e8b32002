// The chapter-table tool as scripts run it: its options, its output and its
// exit codes.

#include "support/test_files.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun Txtchapters(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TXTCHAPTERS_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// A Big5 book too short for the detector to be sure: read as GB18030 it
// has no heading, read as Big5 it has two chapters.
TEST(Txtchapters, ReadsInTheNamedEncoding)
{
    TempFolder folder;
    const QString text = QStringLiteral("第一回\r\n正文\r\n第二回\r\n完\r\n");
    const QString big5 = folder.WriteBytes(QStringLiteral("書.txt"), EncodeText(text, TextEncoding::Big5));
    EXPECT_EQ(Txtchapters({"--count", big5}).out, "1\n");
    EXPECT_EQ(Txtchapters({"--count", "--encoding", "", big5}).out, "1\n");
    EXPECT_EQ(Txtchapters({"--count", "--encoding", "Big5", big5}).out, "2\n");
    EXPECT_EQ(Txtchapters({"--encoding", "big5", "--count", big5}).out, "2\n");
    const ToolRun table = Txtchapters({"--encoding", "Big5", big5});
    EXPECT_EQ(table.exitCode, 0);
    EXPECT_EQ(table.out,
              QStringLiteral("{\"index\":0,\"title\":\"第一回\",\"body\":\"正文\\r\\n\"}\n"
                             "{\"index\":1,\"title\":\"第二回\",\"body\":\"完\\r\\n\"}\n"));

    const QString utf16 = folder.WriteBytes(QStringLiteral("le.txt"), EncodeText(text, TextEncoding::Utf16LE));
    EXPECT_EQ(Txtchapters({"--count", "--encoding", "UTF-16LE", utf16}).out, "2\n");
    EXPECT_EQ(Txtchapters({"--count", "--encoding", "UTF-16BE", utf16}).out, "1\n");
}

// Rules by name, a user's pattern, and their names listed; a bad pattern
// or an unknown rule is refused with the reason.
TEST(Txtchapters, SplitsByANamedRuleOrAPattern)
{
    TempFolder folder;
    const QString book =
        folder.WriteGbk(QStringLiteral("规则.txt"), QStringLiteral("Chapter 1 Home\r\na\r\nChapter 2 Away\r\nb\r\n"));
    EXPECT_EQ(Txtchapters({"--count", book}).out, "1\n");
    EXPECT_EQ(Txtchapters({"--count", "--rule", "Chapter N", book}).out, "2\n");
    EXPECT_EQ(Txtchapters({"--count", "--rule", "内置规则", book}).out, "1\n");
    EXPECT_EQ(Txtchapters({"--count", "--rule", "builtin", book}).out, "1\n");
    EXPECT_EQ(Txtchapters({"--count", "--pattern", "^Chapter 2", book}).out, "2\n");
    const QStringList names = Txtchapters({"--rules"}).out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(names.contains("内置规则") && names.contains("Chapter N"));

    const ToolRun bad = Txtchapters({"--pattern", "^(Chapter", book});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, "txtchapters: 第 10 个字符处: 缺少右括号 )\n");
    const ToolRun unknown = Txtchapters({"--rule", "无此规则", book});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("--rules"));
}

// A book without a heading is read in parts of at most 20,000 characters,
// every line kept.
TEST(Txtchapters, ABookWithoutHeadingsIsReadInParts)
{
    TempFolder folder;
    const QString line = QStringLiteral("　　他望着远处的山，心里想着一些事情，一直走到天黑才回去。\r\n");
    const QString text = line.repeated(2000);
    const QString book = folder.WriteGbk(QStringLiteral("无题.txt"), text);
    const QStringList parts = Txtchapters({"--rule", "auto", book}).out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(parts.size(), 3);
    QString whole;
    for (const QString& part : parts) {
        const QJsonObject chapter = QJsonDocument::fromJson(part.toUtf8()).object();
        const QString body = chapter["body"].toString();
        EXPECT_LE(body.size(), 20000);
        whole += body;
    }
    EXPECT_EQ(whole, text);
}

TEST(Txtchapters, UnknownNamesPrintTheUsage)
{
    TempFolder folder;
    const QString book = folder.WriteGbk(QStringLiteral("book.txt"), QStringLiteral("第一章\r\n"));
    for (const QStringList& arguments :
         {QStringList{"--encoding", "GBK", book}, QStringList{"--encoding", "UTF8", book},
          QStringList{book, "--encoding"}, QStringList{"--encoding", "UTF-8"}, QStringList{"--count", "--count", book},
          QStringList{book, book}}) {
        const ToolRun run = Txtchapters(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("usage: txtchapters")) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const ToolRun missing = Txtchapters({"--encoding", "UTF-8", folder.Path("none.txt")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QStringLiteral("文件打开错误!1找不到该文件\n"));
}

}  // namespace
