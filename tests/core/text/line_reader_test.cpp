#include "core/files/plain_file.h"
#include "core/files/text_file_writer.h"
#include "core/text/line_reader.h"
#include "support/test_files.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QStringList Lines(const QString& path, TextEncoding* encoding = nullptr)
{
    TextFileReader reader;
    EXPECT_TRUE(reader.Open(path));
    QStringList lines;
    QStringView line;
    while (reader.ReadLine(line))
        lines.append(line.toString());
    EXPECT_FALSE(reader.HasError());
    if (encoding)
        *encoding = reader.Encoding();
    return lines;
}

TEST(TextFile, LineEndsAtCrCrLfAndLoneLf)
{
    TempFolder folder;
    EXPECT_EQ(Lines(folder.WriteBytes("crlf.txt", "a\r\nb\r\n")), QStringList({"a", "b"}));
    EXPECT_EQ(Lines(folder.WriteBytes("cr.txt", "a\rb\r")), QStringList({"a", "b"}));
    EXPECT_EQ(Lines(folder.WriteBytes("lf.txt", "a\nb\n")), QStringList({"a", "b"}));
    EXPECT_EQ(Lines(folder.WriteBytes("mixed.txt", "a\r\r\nb\n\rc")), QStringList({"a", "", "b", "", "c"}));
    EXPECT_EQ(Lines(folder.WriteBytes("open.txt", "a\r\nlast")), QStringList({"a", "last"}));
    EXPECT_EQ(Lines(folder.WriteBytes("empty.txt", "")), QStringList());
    EXPECT_EQ(Lines(folder.WriteBytes("blank.txt", "\r\n")), QStringList({""}));
}

TEST(TextFile, LinesAndCharactersAcrossBlockBoundaries)
{
    TempFolder folder;
    const qsizetype block = TextFileReader::kBlockSize;
    // A CR ends one block and its LF opens the next: one line end, not two.
    QByteArray bytes(block - 1, 'x');
    bytes += "\r\nnext\r\n";
    EXPECT_EQ(Lines(folder.WriteBytes("crlf-split.txt", bytes)), QStringList({QString(block - 1, u'x'), "next"}));

    // A two-byte GBK character cut in two by the block boundary.
    const QByteArray han = EncodeGb18030(u"汉");
    ASSERT_EQ(han.size(), 2);
    bytes = QByteArray(block - 1, 'y') + han + "\r\n";
    EXPECT_EQ(Lines(folder.WriteBytes("han-split.txt", bytes)),
              QStringList({QString(block - 1, u'y') + QStringLiteral("汉")}));

    // A four-byte GB18030 character cut after its first and third byte.
    const QByteArray rare = EncodeGb18030(u"€𠀀");  // 0xA2E3 and a four-byte supplementary character
    for (qsizetype cut : {1, 3}) {
        bytes = QByteArray(block - 2 - cut, 'z') + rare + "\r\n";
        EXPECT_EQ(Lines(folder.WriteBytes("rare.txt", bytes)).value(0),
                  QString(block - 2 - cut, u'z') + QStringLiteral("€𠀀"));
    }
}

TEST(TextFile, EncodingIsDetected)
{
    TempFolder folder;
    const QString text = QStringLiteral("第一章 风云\r\n正文");
    TextEncoding encoding;
    const QStringList expected = {QStringLiteral("第一章 风云"), QStringLiteral("正文")};

    EXPECT_EQ(Lines(folder.WriteGbk("gbk.txt", text), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Gb18030);
    EXPECT_EQ(Lines(folder.WriteBytes("utf8.txt", text.toUtf8()), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Utf8);
    EXPECT_EQ(Lines(folder.WriteBytes("bom.txt", "\xEF\xBB\xBF" + text.toUtf8()), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Utf8);

    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : text) {
        le += char(c.unicode() & 0xFF), le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8), be += char(c.unicode() & 0xFF);
    }
    EXPECT_EQ(Lines(folder.WriteBytes("le.txt", le), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(Lines(folder.WriteBytes("be.txt", be), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Utf16BE);

    // Valid UTF-8 for a whole block, then a byte that cannot be: the file is GBK.
    QByteArray late = QByteArray(TextFileReader::kBlockSize + 10, 'a') + "\r\n" + EncodeGb18030(u"汉字");
    Lines(folder.WriteBytes("late.txt", late), &encoding);
    EXPECT_EQ(encoding, TextEncoding::Gb18030);
    // Overlong forms and surrogates are not UTF-8.
    Lines(folder.WriteBytes("overlong.txt", "\xC0\xAF"), &encoding);
    EXPECT_EQ(encoding, TextEncoding::Gb18030);
    Lines(folder.WriteBytes("surrogate.txt", "\xED\xA0\x80"), &encoding);
    EXPECT_EQ(encoding, TextEncoding::Gb18030);
}

TEST(TextFile, InvalidBytesBecomeReplacementWithoutLosingLines)
{
    TempFolder folder;
    // 0x80 and 0xFF stand for nothing; a lead byte before CR or at the very
    // end has no partner. The line ends survive in every case.
    const QByteArray bytes = QByteArray("a\x80"
                                        "b\r\n\xFF\r\n")
        + QByteArray("\xB0\r\n") + EncodeGb18030(u"汉") + "\xB0";
    const QString bad(QChar(0xFFFD));
    EXPECT_EQ(Lines(folder.WriteBytes("bad.txt", bytes)),
              QStringList({"a" + bad + "b", bad, bad, QStringLiteral("汉") + bad}));
}

TEST(TextFile, ListedFilesAreRegularAndVisible)
{
    TempFolder folder;
    const QString visible = folder.WriteBytes("book.txt", "x");
    EXPECT_TRUE(IsListedFile(visible));
    EXPECT_FALSE(IsListedFile(folder.WriteBytes(".hidden.txt", "x")));
    EXPECT_FALSE(IsListedFile(folder.Root()));
    EXPECT_FALSE(IsListedFile(folder.Path("missing.txt")));
    EXPECT_FALSE(IsListedFile(QString()));
    EXPECT_TRUE(IsListedFile(folder.WriteBytes("star*?[.txt", "x")));  // names are taken literally
    EXPECT_FALSE(IsListedFile(folder.Path("star*")));
    const QString fifo = folder.Path("pipe.txt");
    ASSERT_EQ(::system(("mkfifo '" + fifo.toStdString() + "'").c_str()), 0);
    EXPECT_FALSE(IsListedFile(fifo));  // opening it would hang
}

TEST(TextFile, WritesGb18030ThroughSaveFile)
{
    TempFolder folder;
    const QString path = folder.Path("out.ini");
    ASSERT_TRUE(WriteGb18030File(path, u"[Version1.0]\r\nName=甲.txt\r\n"));
    EXPECT_EQ(ReadBytes(path), QByteArray("[Version1.0]\r\nName=") + EncodeGb18030(u"甲") + ".txt\r\n");
    EXPECT_EQ(ReadTextLines(path).value(), QStringList({"[Version1.0]", QStringLiteral("Name=甲.txt")}));
    // A folder that is not there: the write fails and reports it.
    EXPECT_FALSE(WriteGb18030File(folder.Path("no/such/out.ini"), u"x"));
}

}  // namespace
