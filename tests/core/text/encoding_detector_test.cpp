#include "core/text/encoding_detector.h"
#include "core/text/text_decoder.h"
#include "support/test_files.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QStringList kNovels = {"xiyouji", "hongloumeng", "shuihuzhuan", "rulinwaishi"};

QByteArray CorpusBytes(const QString& name)
{
    return ReadBytes(QStringLiteral(READER_CORPUS_DIR "/") + name);
}

// What a reader judges from the first block of a file of these bytes.
TextEncoding Detect(const QByteArray& bytes)
{
    const QByteArray sample = bytes.first(std::min(bytes.size(), kDetectionSampleSize));
    return DetectEncoding(sample, sample.size() == bytes.size());
}

const char* Name(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Gb18030: return "GB18030";
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Big5: return "Big5";
    case TextEncoding::Utf16LE: return "UTF-16LE";
    case TextEncoding::Utf16BE: return "UTF-16BE";
    }
    return "?";
}

TEST(ByteOrderMark, AnnouncesTheEncodingAndItsLength)
{
    EXPECT_EQ(EncodingFromByteOrderMark("\xEF\xBB\xBFx"), TextEncoding::Utf8);
    EXPECT_EQ(EncodingFromByteOrderMark("\xFF\xFEx"), TextEncoding::Utf16LE);
    EXPECT_EQ(EncodingFromByteOrderMark("\xFE\xFFx"), TextEncoding::Utf16BE);
    EXPECT_EQ(EncodingFromByteOrderMark("\x84\x31\x95\x33x"), TextEncoding::Gb18030);
    EXPECT_EQ(EncodingFromByteOrderMark("\xEF\xBB"), std::nullopt);  // cut short
    EXPECT_EQ(EncodingFromByteOrderMark(""), std::nullopt);
    EXPECT_EQ(ByteOrderMarkLength("\xEF\xBB\xBFx", TextEncoding::Utf8), 3);
    EXPECT_EQ(ByteOrderMarkLength("\x84\x31\x95\x33", TextEncoding::Gb18030), 4);
    EXPECT_EQ(ByteOrderMarkLength("\xFF\xFEx", TextEncoding::Utf16BE), 0);  // another encoding's mark
    EXPECT_EQ(ByteOrderMarkLength("\xFF\xFEx", TextEncoding::Big5), 0);
}

// The real novels keep the encoding they are in; no GBK novel is taken for
// anything else, in whole or in part.
TEST(EncodingDetection, CorpusNovelsKeepTheirEncoding)
{
    for (const QString& novel : kNovels) {
        const QByteArray gbk = CorpusBytes(novel + ".gbk.txt");
        const QByteArray utf8 = CorpusBytes(novel + ".utf8.txt");
        ASSERT_GT(gbk.size(), 600000) << novel.toStdString();
        EXPECT_STREQ(Name(Detect(gbk)), "GB18030") << novel.toStdString();
        EXPECT_STREQ(Name(Detect(utf8)), "UTF-8") << novel.toStdString();
        // Any block further in is judged the same.
        EXPECT_STREQ(Name(Detect(gbk.sliced(gbk.size() / 2 + 1))), "GB18030") << novel.toStdString();

        const QString text = QString::fromUtf8(utf8);
        EXPECT_STREQ(Name(Detect(EncodeText(text, TextEncoding::Utf16LE))), "UTF-16LE") << novel.toStdString();
        EXPECT_STREQ(Name(Detect(EncodeText(text, TextEncoding::Utf16BE))), "UTF-16BE") << novel.toStdString();
        // Big5 lacks the simplified characters of three of the novels; they
        // become "?", and the rest is still plainly Big5, also in a first
        // block that ends inside a character.
        const QByteArray big5 = EncodeText(text, TextEncoding::Big5);
        EXPECT_STREQ(Name(Detect(big5)), "Big5") << novel.toStdString();
        EXPECT_STREQ(Name(DetectEncoding(big5.first(4097), false)), "Big5") << novel.toStdString();
    }
}

TEST(EncodingDetection, AFewLinesOfGbkStayGbk)
{
    int windows = 0;
    for (const QString& novel : kNovels) {
        const QList<QByteArray> lines = CorpusBytes(novel + ".gbk.txt").split('\n');
        // Every third line starts windows of one to five lines: headings,
        // short dialogue, poems, the table of contents of 儒林外史.
        for (qsizetype start = 0; start < lines.size(); start += 3) {
            for (qsizetype count : {1, 2, 3, 5}) {
                QByteArray file;
                for (qsizetype i = start; i < std::min(lines.size(), start + count); ++i)
                    file += lines[i] + '\n';
                // Blank lines and ASCII read the same in every encoding.
                if (std::none_of(file.begin(), file.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
                    continue;
                ++windows;
                ASSERT_EQ(Detect(file), TextEncoding::Gb18030)
                    << novel.toStdString() << " line " << start + 1 << ": " << file.toHex().constData();
            }
        }
    }
    EXPECT_GT(windows, 30000);
}

TEST(EncodingDetection, ShortFilesNeedStrongEvidence)
{
    // GBK bytes that happen to be valid UTF-8: a few two-byte letters.
    EXPECT_EQ(Detect(EncodeGb18030(u"小说\r\n")), TextEncoding::Gb18030);
    EXPECT_EQ(Detect(EncodeGb18030(u"    惟\r\n")), TextEncoding::Gb18030);
    EXPECT_EQ(Detect(EncodeGb18030(u"目录")), TextEncoding::Gb18030);
    // Chinese in UTF-8 takes three bytes a character: one line is enough.
    EXPECT_EQ(Detect(QStringLiteral("第一章 风云\r\n").toUtf8()), TextEncoding::Utf8);
    EXPECT_EQ(Detect(QStringLiteral("说").toUtf8()), TextEncoding::Utf8);
    // Many two-byte letters are real UTF-8 (Russian, here), not chance.
    EXPECT_EQ(Detect(QStringLiteral("Война и мир, том первый\r\n").toUtf8()), TextEncoding::Utf8);
    // ASCII reads the same in every guess; UTF-8 can still be proved wrong later.
    EXPECT_EQ(Detect("Chapter 1\r\n"), TextEncoding::Utf8);
    EXPECT_EQ(Detect(""), TextEncoding::Utf8);

    // A line or two of Big5 is doubtful: GB18030.
    EXPECT_EQ(Detect(EncodeText(u"第一回　說楔子敷陳大義　借名流隱括全文", TextEncoding::Big5)), TextEncoding::Gb18030);

    // UTF-16 without a mark: one line with its line end is plain enough,
    // in either byte order, and only in the right one.
    EXPECT_EQ(Detect(EncodeText(u"第一章\r\n", TextEncoding::Utf16LE)), TextEncoding::Utf16LE);
    EXPECT_EQ(Detect(EncodeText(u"第一章\r\n", TextEncoding::Utf16BE)), TextEncoding::Utf16BE);
    EXPECT_EQ(Detect(EncodeText(u"Chapter one\r\n", TextEncoding::Utf16LE)), TextEncoding::Utf16LE);
    // Without any ASCII character UTF-16 has no NUL byte and proves nothing.
    EXPECT_EQ(Detect(EncodeText(u"第一章风云再起", TextEncoding::Utf16LE)), TextEncoding::Gb18030);
    // A whole file of an odd length, or one ending in half a character, is not UTF-16.
    EXPECT_EQ(Detect(EncodeText(u"第一章\r\n", TextEncoding::Utf16LE) + 'x'), TextEncoding::Gb18030);
    EXPECT_EQ(Detect(EncodeText(u"第一章\r\n\xD840", TextEncoding::Utf16LE)), TextEncoding::Gb18030);
    // NUL bytes and control characters are binary data, not UTF-16 text.
    for (const QByteArray& binary : {QByteArray("\x01\x00\x02\x00\x03\x00\x04\x00", 8), QByteArray("a\0\0\0b\0", 6)}) {
        EXPECT_NE(Detect(binary), TextEncoding::Utf16LE);
        EXPECT_NE(Detect(binary), TextEncoding::Utf16BE);
    }
}

}  // namespace
