#include "core/speech/sentences.h"
#include "core/text/text_decoder.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

QStringList Said(const QString& text)
{
    QStringList said;
    for (const Sentence& sentence : CutSentences(text))
        said.append(text.mid(sentence.start, sentence.length));
    return said;
}

}  // namespace

// What a listener hears of a chapter: sentence ends, quotes kept with the
// sentence they close, a heading alone, decoration and blank lines left out.
TEST(SentencesTest, CutsAtSentenceEndsAndLineEndsAndSkipsDecoration)
{
    const QString text = QStringLiteral("　　第一回　灵根育孕源流出\r\n\r\n〓〓〓〓〓〓\r\n"
                                        "　　他道：“好！好！”又说：「去罢。」众猴……都喜。\r\n"
                                        "======\r\n****\r\n———\r\n"
                                        "He said: \"Go!\" It was 3.5 miles. Done.\r\n"
                                        "没有句号的一行");
    EXPECT_EQ(
        Said(text),
        (QStringList{QStringLiteral("第一回　灵根育孕源流出"), QStringLiteral("他道：“好！"), QStringLiteral("好！”"),
                     QStringLiteral("又说：「去罢。」"), QStringLiteral("众猴……"), QStringLiteral("都喜。"),
                     QStringLiteral("He said: \"Go!\""), QStringLiteral("It was 3.5 miles."), QStringLiteral("Done."),
                     QStringLiteral("没有句号的一行")}));
    // Offsets count CR LF as two characters, as the pane does.
    const QList<Sentence> sentences = CutSentences(QStringLiteral("甲。\r\n乙。\n丙"));
    EXPECT_EQ(sentences, (QList<Sentence>{{0, 2}, {4, 2}, {7, 1}}));
    EXPECT_EQ(SentenceAt(sentences, 2), 1);  // a line end: the next sentence
    EXPECT_EQ(SentenceAt(sentences, 5), 1);
    EXPECT_EQ(SentenceAt(sentences, 8), 3);  // past the last one
    EXPECT_TRUE(CutSentences(QStringLiteral("\r\n〓〓〓\r\n　　\r\n")).isEmpty());
}

// A whole novel: the sentences come in order, never cross a line end, and
// leave out nothing a voice could say.
TEST(SentencesTest, CoversEveryWordOfARealNovelInOrder)
{
    const QString text =
        DecodeText(ReadBytes(QStringLiteral(READER_CORPUS_DIR "/xiyouji.gbk.txt")), TextEncoding::Gb18030);
    ASSERT_FALSE(text.isEmpty());
    const QList<Sentence> sentences = CutSentences(text);
    qsizetype end = 0;
    qsizetype uncovered = 0;
    for (const Sentence& sentence : sentences) {
        ASSERT_GE(sentence.start, end);
        ASSERT_GT(sentence.length, 0);
        for (qsizetype i = end; i < sentence.start; ++i)
            uncovered += text[i].isLetterOrNumber();
        const QString said = text.mid(sentence.start, sentence.length);
        ASSERT_FALSE(said.contains(u'\r') || said.contains(u'\n')) << said.toStdString();
        end = sentence.start + sentence.length;
    }
    EXPECT_EQ(uncovered, 0);
    // 第一回's heading is a sentence of its own.
    const qsizetype heading = text.indexOf(QStringLiteral("第一回"));
    const qsizetype index = SentenceAt(sentences, heading);
    ASSERT_LT(index, sentences.size());
    const qsizetype lineEnd = text.indexOf(u'\r', heading);
    EXPECT_EQ(sentences[index].start + sentences[index].length, lineEnd);
    // Most sentences are sentence-sized: the text is cut, not read in lines.
    EXPECT_GT(sentences.size(), text.count(u'\n') * 3);
}
