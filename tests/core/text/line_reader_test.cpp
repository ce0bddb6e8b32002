#include "core/files/plain_file.h"
#include "core/files/text_file_writer.h"
#include "core/text/line_reader.h"
#include "support/test_files.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString kBadText(QChar(0xFFFD));

QStringList Lines(const QString& path, TextEncoding* encoding = nullptr)
{
    TextFileReader reader;
    EXPECT_TRUE(reader.Open(path));
    QStringList lines;
    QStringView line;
    while (reader.ReadLine(line))
        lines.append(line.toString());
    EXPECT_FALSE(reader.HasError());
    EXPECT_FALSE(reader.GuessedWrong());
    if (encoding)
        *encoding = reader.Encoding();
    return lines;
}

QStringList LinesIn(const QString& path, EncodingChoice choice, qsizetype blockSize = TextFileReader::kBlockSize)
{
    TextFileReader reader(blockSize);
    EXPECT_TRUE(reader.Open(path, choice));
    QStringList lines;
    QStringView line;
    while (reader.ReadLine(line))
        lines.append(line.toString());
    EXPECT_FALSE(reader.HasError());
    return lines;
}

// The lines of a text by the reader's rules, for comparison.
QStringList SplitLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
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
    // Without their marks, too.
    EXPECT_EQ(Lines(folder.WriteBytes("le-bare.txt", le.sliced(2)), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(Lines(folder.WriteBytes("be-bare.txt", be.sliced(2)), &encoding), expected);
    EXPECT_EQ(encoding, TextEncoding::Utf16BE);
    // A GB18030 mark is skipped like the others.
    EXPECT_EQ(Lines(folder.WriteBytes("gb-bom.txt", "\x84\x31\x95\x33" + EncodeGb18030(text)), &encoding), expected);
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

namespace {

// A text whose lines end every way, with empty lines, a long line and
// characters of every length, in each encoding: blocks of any size read the
// same lines as one big block, and those are the text's lines.
TEST(TextFile, TinyBlocksReadTheSameLines)
{
    TempFolder folder;
    const QString text =
        QStringLiteral("第一章 風雲€\r\n\r\n正文𠀀一\rabc\n\n") + QString(40, u'長') + QStringLiteral("\r\n末行");
    for (const EncodingChoice choice : kEncodingChoices) {
        const std::optional<TextEncoding> encoding = ForcedEncoding(choice);
        if (!encoding)
            continue;
        const QByteArray bytes = EncodeText(text, *encoding);
        const QString path = folder.WriteBytes("book.txt", bytes);
        // Big5 has no 𠀀: it became "?".
        const QStringList expected = SplitLines(DecodeText(bytes, *encoding));
        EXPECT_EQ(
            expected,
            SplitLines(*encoding == TextEncoding::Big5 ? QString(text).replace(QStringLiteral("𠀀"), "?") : text));
        for (qsizetype block : {1, 2, 3, 7, 4096})
            EXPECT_EQ(LinesIn(path, choice, block), expected)
                << EncodingSettingName(choice).toStdString() << " blocks of " << block;
    }
}

// A UTF-8 book with a byte order mark and an invalid byte just before a 1 MiB
// block ends: the line feed after it used to vanish with the invalid byte,
// merging two lines and losing the heading of the second.
TEST(TextFile, AnInvalidByteAtABlockEndKeepsTheLineFeedAfterIt)
{
    TempFolder folder;
    const qsizetype block = TextFileReader::kBlockSize;
    // Blocks have started both at the first byte and after the mark: cover both.
    for (qsizetype end : {block, block + 3}) {
        QByteArray bytes = "\xEF\xBB\xBF" + QByteArray(end - 3 - 1, 'x') + "\xE6\n";
        bytes += QStringLiteral("第二章\n正文\n").toUtf8();
        const QStringList lines = Lines(folder.WriteBytes("bom.txt", bytes));
        ASSERT_EQ(lines.size(), 3) << "block end at " << end;
        EXPECT_EQ(lines[0], QString(end - 4, u'x') + kBadText);
        EXPECT_EQ(lines[1], QStringLiteral("第二章"));
    }
}

// A line of any length comes in pieces of about a block, and ReadLine puts
// them together again.
TEST(TextFile, LongLinesComeInPieces)
{
    TempFolder folder;
    const QString longLine = QString(1000, u'長');
    const QString path = folder.WriteBytes("long.txt", EncodeGb18030(longLine + "\r\nshort\r\n"));
    TextFileReader reader(64);
    ASSERT_TRUE(reader.Open(path));
    QString joined;
    QStringView piece;
    bool lineEnds = false;
    int pieces = 0;
    while (reader.ReadPiece(piece, lineEnds) == ReadStatus::Text && !lineEnds) {
        EXPECT_LE(piece.size(), 64);
        joined += piece;
        ++pieces;
    }
    joined += piece;
    EXPECT_EQ(joined, longLine);
    EXPECT_GT(pieces, 25);
    ASSERT_EQ(reader.ReadPiece(piece, lineEnds), ReadStatus::Text);
    EXPECT_EQ(piece, u"short");
    EXPECT_TRUE(lineEnds);
    EXPECT_EQ(reader.ReadPiece(piece, lineEnds), ReadStatus::End);

    // A last line without its end, cut into pieces: its end is the file's.
    const QString open = folder.WriteBytes("open.txt", "abcdefgh");
    EXPECT_EQ(LinesIn(open, EncodingChoice::Automatic, 3), QStringList({"abcdefgh"}));
}

// A chosen encoding is used whatever the bytes look like; its own byte
// order mark is skipped, another one is read as text.
TEST(TextFile, AChosenEncodingIsUsed)
{
    TempFolder folder;
    const QString text = QStringLiteral("第一回\r\n正文");
    const QString gbk = folder.WriteGbk("gbk.txt", text);
    EXPECT_EQ(LinesIn(gbk, EncodingChoice::Gb18030), SplitLines(text));
    EXPECT_EQ(LinesIn(gbk, EncodingChoice::Big5), SplitLines(DecodeText(EncodeGb18030(text), TextEncoding::Big5)));
    const QString big5 = folder.WriteBytes("big5.txt", EncodeText(text, TextEncoding::Big5));
    EXPECT_EQ(LinesIn(big5, EncodingChoice::Big5), SplitLines(text));
    const QString marked = folder.WriteBytes("marked.txt", "\xEF\xBB\xBF" + text.toUtf8());
    EXPECT_EQ(LinesIn(marked, EncodingChoice::Utf8), SplitLines(text));
    EXPECT_EQ(LinesIn(marked, EncodingChoice::Gb18030).value(0),
              DecodeText("\xEF\xBB\xBF" + QStringLiteral("第一回").toUtf8(), TextEncoding::Gb18030));
    const QString utf16 = folder.WriteBytes("le.txt", "\xFF\xFE" + EncodeText(text, TextEncoding::Utf16LE));
    EXPECT_EQ(LinesIn(utf16, EncodingChoice::Utf16LE), SplitLines(text));
    TextFileReader reader;
    ASSERT_TRUE(reader.Open(utf16, EncodingChoice::Big5));
    EXPECT_EQ(reader.Encoding(), TextEncoding::Big5);
}

// A file whose first block is valid UTF-8 but which is GBK further on: the
// reader says so, and ReadTextLines reads it again as GB18030.
TEST(TextFile, AWrongGuessOfUtf8IsReported)
{
    TempFolder folder;
    const QByteArray head = QStringLiteral("第一章\r\n").toUtf8().repeated(TextFileReader::kBlockSize / 10);
    const QString path = folder.WriteBytes("late.txt", head + "\r\n" + EncodeGb18030(u"汉字\r\n"));
    TextFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.Encoding(), TextEncoding::Utf8);
    QStringView line;
    int lines = 0;
    while (reader.ReadLine(line))
        ++lines;
    EXPECT_TRUE(reader.GuessedWrong());
    EXPECT_FALSE(reader.HasError());
    EXPECT_GT(lines, 0);
    QStringView piece;
    bool lineEnds = false;
    EXPECT_EQ(reader.ReadPiece(piece, lineEnds), ReadStatus::WrongGuess);  // and stays so

    const std::optional<QStringList> all = ReadTextLines(path);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->last(), QStringLiteral("汉字"));
    EXPECT_EQ(all->first(), DecodeText(QStringLiteral("第一章").toUtf8(), TextEncoding::Gb18030));

    // A UTF-8 file cut in the middle of its last character is not UTF-8 either.
    const QString cut = folder.WriteBytes("cut.txt", head.first(TextFileReader::kBlockSize + 20) + "\xE4\xB8");
    EXPECT_EQ(ReadTextLines(cut)->first(), DecodeText(QStringLiteral("第一章").toUtf8(), TextEncoding::Gb18030));
}

}  // namespace
