#include "core/text/text_decoder.h"
#include "support/test_files.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr TextEncoding kEncodings[] = {TextEncoding::Gb18030, TextEncoding::Utf8, TextEncoding::Big5,
                                       TextEncoding::Utf16LE, TextEncoding::Utf16BE};

const QString kBad(QChar(0xFFFD));

std::string Name(TextEncoding encoding)
{
    return EncodingSettingName(ChoiceOf(encoding)).toStdString();
}

QString DecodeInBlocks(QByteArrayView bytes, TextEncoding encoding, qsizetype blockSize)
{
    TextDecoder decoder(encoding);
    QString text;
    for (qsizetype at = 0; at < bytes.size(); at += blockSize)
        decoder.Decode(bytes.sliced(at, std::min(blockSize, bytes.size() - at)), text);
    decoder.Finish(text);
    return text;
}

QString DecodeInTwo(QByteArrayView bytes, TextEncoding encoding, qsizetype cut)
{
    TextDecoder decoder(encoding);
    QString text;
    decoder.Decode(bytes.first(cut), text);
    decoder.Decode(bytes.sliced(cut), text);
    decoder.Finish(text);
    return text;
}

// Bytes meant to trip each decoder: characters of every length, invalid
// and unfinished sequences right before CR and LF, and at the very end.
QList<QByteArray> AwkwardBytes(TextEncoding encoding)
{
    const QString text = QStringLiteral("第一章 風雲€\r\n正文,abc\r\r\n\n𠀀一");
    const QByteArray good = EncodeText(text, encoding);
    switch (encoding) {
    case TextEncoding::Gb18030:
        return {good, "\xB0\r\n\x81\x30\n\x81\x30\x81\r\x81\x30\x81\x30\xFF\x80" + good + "\x81\x30\x81",
                good + "\x95\x32\x82", "\xFE\x39\xFE\x39\n\xB0"};
    case TextEncoding::Big5: return {good, "\xA4\r\n\xA3\xC0\xA4\x40\x80\xFF\n\xA4" + good, good + "\xA4"};
    case TextEncoding::Utf8:
        return {good, "\xE6\x88\n\xE0\x80\x80\r\xED\xA0\x80\xC0\xAF\xF4\x90\x80\x80" + good, good + "\xF0\x9F\x98",
                "\xF0\x9F\x98\x80\xE4\xB8\r\n\xFF\xFE"};
    case TextEncoding::Utf16LE:
        // Repeated, the pairs fall on every side of the decoder's chunks.
        return {good, QByteArray("\x00\xD8\r\x00\x00\xDC\n\x00", 8) + good, good + "\x3D\xD8", good + "x",
                good.repeated(40)};
    case TextEncoding::Utf16BE:
        return {good, QByteArray("\xD8\x00\x00\r\xDC\x00\x00\n", 8) + good, good + "\xD8\x3D\xDE", good + "x",
                good.repeated(40)};
    }
    return {};
}

// A block boundary anywhere gives exactly what decoding everything at once
// gives: every cut of two, and blocks of one to seven bytes.
TEST(TextDecoder, BlocksDecodeExactlyAsTheWhole)
{
    for (const TextEncoding encoding : kEncodings) {
        for (const QByteArray& bytes : AwkwardBytes(encoding)) {
            const QString whole = DecodeText(bytes, encoding);
            ASSERT_FALSE(whole.isEmpty());
            for (qsizetype cut = 0; cut <= bytes.size(); ++cut)
                ASSERT_EQ(DecodeInTwo(bytes, encoding, cut), whole) << Name(encoding) << " cut at " << cut;
            for (qsizetype block : {1, 2, 3, 5, 7})
                ASSERT_EQ(DecodeInBlocks(bytes, encoding, block), whole) << Name(encoding) << " blocks of " << block;
        }
    }
}

// Random bytes from the alphabet each decoder cares about: whatever the
// mix, an invalid sequence never takes a CR or LF with it, and blocks of
// any size change nothing.
TEST(TextDecoder, InvalidBytesNeverEatLineEnds)
{
    std::mt19937 random(20240601);
    for (const TextEncoding encoding : kEncodings) {
        const bool wide = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
        // Units for UTF-16 (written in the file's byte order), bytes otherwise.
        const std::vector<char16_t> alphabet = wide
            ? std::vector<char16_t>{u'\r', u'\n', u'a', 0xD83D, 0xDE00, 0xD800, 0xDC00, 0x4E00, 0x0A0D, 0x0D0A}
            : std::vector<char16_t>{'\r', '\n', 'a',  '0',  '9',  0x80, 0x81, 0x84, 0x95, 0xA1, 0xA4, 0xB0,
                                    0x40, 0xC2, 0xE0, 0xE6, 0xED, 0xF0, 0xF4, 0x9F, 0xBF, 0xFE, 0xFF};
        std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
        for (int round = 0; round < 2000; ++round) {
            QString units;
            for (int i = random() % 24; i >= 0; --i)
                units += QChar(alphabet[pick(random)]);
            const QByteArray bytes = wide ? EncodeText(units, encoding) : units.toLatin1();
            const QString text = DecodeText(bytes, encoding);
            EXPECT_EQ(text.count(u'\r'), units.count(u'\r')) << Name(encoding) << " " << bytes.toHex().constData();
            EXPECT_EQ(text.count(u'\n'), units.count(u'\n')) << Name(encoding) << " " << bytes.toHex().constData();
            const qsizetype block = 1 + random() % 5;
            ASSERT_EQ(DecodeInBlocks(bytes, encoding, block), text)
                << Name(encoding) << " " << bytes.toHex().constData();
        }
    }
}

TEST(TextDecoder, InvalidSequencesBecomeOneReplacementEach)
{
    struct Case {
        TextEncoding encoding;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        // UTF-8: the longest valid start of a sequence is one invalid sequence.
        {TextEncoding::Utf8, "\xE6\x88\nx", kBad + "\nx"},
        {TextEncoding::Utf8, "\xE0\x80\x80", kBad + kBad + kBad},  // overlong: E0 wants A0..BF next
        {TextEncoding::Utf8, "\xED\xA0\x80", kBad + kBad + kBad},  // a surrogate
        {TextEncoding::Utf8, "\xF0\x9F\x98", kBad},                // cut off by the end
        {TextEncoding::Utf8, "\xF0\x9F\x98\x80", QString::fromUcs4(U"\U0001F600")},
        // GB18030: a lead byte without its partner goes alone.
        {TextEncoding::Gb18030, "\xB0\r\n", kBad + "\r\n"},
        {TextEncoding::Gb18030, "\x81\x30\x81\x30", QString(QChar(0x80))},
        {TextEncoding::Gb18030, "\x95\x32\x82\x36", QString::fromUcs4(U"\U00020000")},
        {TextEncoding::Gb18030, "\x81\x30\x81", kBad + "0" + kBad},
        {TextEncoding::Gb18030, "\xFE\x39\xFE\x39", kBad},  // a four-byte code GB18030 leaves unassigned
        // Big5 (code page 950).
        {TextEncoding::Big5, "\xA4\x40\xB0\xEA", QStringLiteral("一國")},
        {TextEncoding::Big5, "\xA4\n", kBad + "\n"},
        {TextEncoding::Big5, "\xA3\xC0", kBad},  // a code Big5 does not assign
        {TextEncoding::Big5, "\x80\xFF", kBad + kBad},
        // UTF-16: a surrogate without its partner, an odd byte at the end.
        {TextEncoding::Utf16LE, QByteArray("\x00\xD8\r\x00", 4), kBad + "\r"},
        {TextEncoding::Utf16LE, QByteArray("a\x00\x00\xDC", 4), "a" + kBad},
        {TextEncoding::Utf16LE,
         QByteArray("a\x00"
                    "b",
                    3),
         "a" + kBad},
        {TextEncoding::Utf16BE, QByteArray("\xD8\x3D\xDE\x00", 4), QString::fromUcs4(U"\U0001F600")},
    };
    for (const Case& c : cases) {
        TextDecoder decoder(c.encoding);
        QString text;
        decoder.Decode(c.bytes, text);
        decoder.Finish(text);
        EXPECT_EQ(text, c.text) << Name(c.encoding) << " " << c.bytes.toHex().constData();
        EXPECT_EQ(decoder.InvalidSequences(), c.text.count(kBad))
            << Name(c.encoding) << " " << c.bytes.toHex().constData();
    }
}

// Valid text comes out as it went in: the real novels in GBK and UTF-8 hold
// the same text, and it survives UTF-16 and (traditional) Big5.
TEST(TextDecoder, NovelsDecodeToTheirText)
{
    for (const char* novel : {"xiyouji", "rulinwaishi"}) {
        const QString path = QStringLiteral(READER_CORPUS_DIR "/%1").arg(novel);
        const QByteArray utf8 = ReadBytes(path + ".utf8.txt");
        const QString text = QString::fromUtf8(utf8);
        ASSERT_GT(text.size(), 300000);
        QString fromGbk = DecodeText(ReadBytes(path + ".gbk.txt"), TextEncoding::Gb18030);
        EXPECT_EQ(fromGbk.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), text) << novel;
        EXPECT_EQ(DecodeText(utf8, TextEncoding::Utf8), text) << novel;
        EXPECT_EQ(DecodeText(EncodeText(text, TextEncoding::Utf16LE), TextEncoding::Utf16LE), text) << novel;
        EXPECT_EQ(DecodeText(EncodeText(text, TextEncoding::Utf16BE), TextEncoding::Utf16BE), text) << novel;
    }
    const QString traditional = QString::fromUtf8(ReadBytes(QStringLiteral(READER_CORPUS_DIR "/rulinwaishi.utf8.txt")));
    const QString big5 = DecodeText(EncodeText(traditional, TextEncoding::Big5), TextEncoding::Big5);
    ASSERT_EQ(big5.size(), traditional.size());
    qsizetype missing = 0;
    for (qsizetype i = 0; i < big5.size(); ++i) {
        if (big5[i] != traditional[i]) {
            EXPECT_EQ(big5[i], u'?') << "at " << i;  // a character Big5 lacks
            ++missing;
        }
    }
    EXPECT_LT(missing, 20);
}

TEST(TextDecoder, EncodesEveryEncoding)
{
    EXPECT_EQ(EncodeGb18030(u"汉"), QByteArray("\xBA\xBA"));
    EXPECT_EQ(EncodeGb18030(QString::fromUcs4(U"\U00020000")), QByteArray("\x95\x32\x82\x36"));
    EXPECT_EQ(EncodeText(u"國", TextEncoding::Big5), QByteArray("\xB0\xEA"));
    EXPECT_EQ(EncodeText(u"国a", TextEncoding::Big5), QByteArray("?a"));  // simplified: not in Big5
    EXPECT_EQ(EncodeText(u"一", TextEncoding::Utf16LE), QByteArray("\x00\x4E", 2));
    EXPECT_EQ(EncodeText(u"一", TextEncoding::Utf16BE), QByteArray("\x4E\x00", 2));
    EXPECT_EQ(EncodeText(u"一", TextEncoding::Utf8), QByteArray("\xE4\xB8\x80"));
}

}  // namespace
