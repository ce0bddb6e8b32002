#include "core/reading/reader.h"
#include "core/speech/read_aloud.h"
#include "core/speech/sentences.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"

#include <QAction>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The sink speech goes to, with a PulseAudio server started for it when
// none runs (a machine without sound hardware gets a null sink).
QString DefaultSink()
{
    if (Run(QStringLiteral("pactl"), {QStringLiteral("info")}).isEmpty())
        Run(QStringLiteral("pulseaudio"), {QStringLiteral("--start"), QStringLiteral("--exit-idle-time=-1")});
    return Run(QStringLiteral("pactl"), {QStringLiteral("get-default-sink")});
}

// Samples louder than a whisper, in 16-bit mono.
qsizetype LoudSamples(const QByteArray& pcm)
{
    qsizetype loud = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
        std::int16_t sample = 0;
        std::memcpy(&sample, pcm.constData() + i, 2);
        loud += std::abs(sample) > 1000;
    }
    return loud;
}

}  // namespace

// 朗读 with the platform's voice on 西游记 第一回: the heading and the first
// sentences are said one after the other, highlighted in turn, and what
// reaches the sound card is speech, not silence.
TEST_F(ReaderFixture, ReadsXiyoujiAloudWithThePlatformVoice)
{
    const QString sink = DefaultSink();
    if (sink.isEmpty())
        GTEST_SKIP() << "no PulseAudio server to hear the voice through (apt install pulseaudio pulseaudio-utils)";
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("-d"), sink + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                    QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"), QStringLiteral("--rate=16000")});
    ASSERT_TRUE(recorder.waitForStarted());

    window->resize(1000, 700);
    window->show();
    OpenBook(*window,
             books.WriteBytes(QStringLiteral("西游记.txt"),
                              ReadBytes(QStringLiteral(READER_CORPUS_DIR "/xiyouji.gbk.txt"))));
    const Book& book = state.Current();
    int first = 0;
    while (first < book.LastChapter() && !book.Chapters[first].Title.startsWith(QStringLiteral("第一回")))
        ++first;
    window->Reading().GoToChapter(first);
    const QList<Sentence> sentences = CutSentences(window->Pane().Text());
    ASSERT_GE(sentences.size(), 3);

    auto* readAloud = window->findChild<QAction*>(QStringLiteral("readAloudAction"));
    readAloud->trigger();
    if (!readAloud->isChecked()) {
        recorder.kill();
        recorder.waitForFinished();
        GTEST_SKIP() << (prompter.messages.empty() ? std::string("朗读 did not start")
                                                   : prompter.messages.front().text.toStdString());
    }
    // The heading, then sentences 0 and 1 said to their ends: sentence 2 is highlighted.
    const bool saidTwo = QTest::qWaitFor([&] { return window->Pane().SelStart() == sentences[2].start; }, 90000);
    readAloud->trigger();
    recorder.terminate();
    recorder.waitForFinished();
    ASSERT_TRUE(saidTwo) << "the voice did not get through the first sentences";
    EXPECT_EQ(window->Pane().SelLength(), sentences[2].length);
    EXPECT_EQ(state.Current().Place.offset, sentences[2].start);
    const QByteArray pcm = recorder.readAllStandardOutput();
    // At least a second of it louder than a whisper (16,000 samples a second).
    EXPECT_GT(LoudSamples(pcm), 16000) << pcm.size() / 2 << " samples recorded";
}
