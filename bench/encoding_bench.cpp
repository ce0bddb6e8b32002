// Speed of decoding and loading in every encoding, on the 100 MB book.
//
//   build/bench/encoding_bench                               everything
//   build/bench/encoding_bench --benchmark_filter=Decode     our decoders against iconv and ICU
//   build/bench/encoding_bench --benchmark_filter=Load       whole loads, UTF-8 against GBK
//   build/bench/encoding_bench --benchmark_filter=FirstText  until the beginning is shown
//
// The UTF-8 and Big5 copies of the 100 MB GBK book, a 100 MB book without a
// line end, and books of 3 million short lines (12 MB of one character a
// line, 53 MB of 4 to 12) are made on first use beside it (READER_BIG_BOOK_DIR, else the system temp folder).
// Big5 lacks the simplified characters of the book: they become "?".

#include "big_book.h"
#include "core/books/reader_state.h"
#include "core/books/text_loader.h"
#include "core/text/line_reader.h"
#include "core/text/text_decoder.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace {

QString BigText()
{
    QFile file(BigBook(100));
    file.open(QIODevice::ReadOnly);
    return DecodeText(file.readAll(), TextEncoding::Gb18030);
}

// A book made from the 100 MB book's text, kept beside it.
QString DerivedBook(const QString& name, const std::function<QByteArray(const QString&)>& make)
{
    const QString path = QFileInfo(BigBook(100)).dir().filePath(name);
    if (!QFileInfo::exists(path)) {
        QFile file(path + ".part");
        if (!file.open(QIODevice::WriteOnly) || file.write(make(BigText())) < 0 || !file.rename(path))
            return QString();
    }
    return path;
}

QString BookIn(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return DerivedBook("reader-big-100.utf8.txt", [](const QString& text) { return text.toUtf8(); });
    case TextEncoding::Big5:
        return DerivedBook("reader-big-100.big5.txt",
                           [](const QString& text) { return EncodeText(text, TextEncoding::Big5); });
    case TextEncoding::Utf16LE:
        return DerivedBook("reader-big-100.utf16le.txt",
                           [](const QString& text) { return EncodeText(text, TextEncoding::Utf16LE); });
    case TextEncoding::Utf16BE:
        return DerivedBook("reader-big-100.utf16be.txt",
                           [](const QString& text) { return EncodeText(text, TextEncoding::Utf16BE); });
    default: return BigBook(100);
    }
}

// The book's text with every line end taken out: one 100 MB line.
QString OneLineBook()
{
    return DerivedBook("reader-one-line-100.txt", [](QString text) {
        text.remove(u'\r').remove(u'\n');
        return EncodeGb18030(text);
    });
}

// 3 million lines of Chinese characters of the book: of one character
// each (12 MB in GBK, none of them a heading), or of 4 to 12 (53 MB, where
// a dozen lines happen to read as headings).
QString ShortLinesBook(int longest = 1)
{
    const int shortest = longest == 1 ? 1 : 4;
    const char* name = longest == 1 ? "reader-short-lines-12.txt" : "reader-short-lines-53.txt";
    return DerivedBook(name, [shortest, longest](const QString& text) {
        const QString headingLike = QStringLiteral("一廿二三卅四五六七八九十百千第章节部回卷集序");
        QString lines;
        qsizetype i = 0;
        for (int line = 0; line < 3'000'000; ++line) {
            for (int length = shortest + line % (longest - shortest + 1); length > 0; ++i) {
                const QChar c = text.at(i % text.size());
                if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF && !headingLike.contains(c))
                    lines += c, --length;
            }
            lines += QStringLiteral("\r\n");
        }
        return EncodeGb18030(lines);
    });
}

// A window that shows nothing and notes the longest time the load went
// without letting its event loop run (the window would not answer then).
class NoWindow : public LoaderHost {
public:
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override
    {
        Lap();
        return true;
    }
    void Lap()
    {
        const auto now = std::chrono::steady_clock::now();
        longest = std::max(longest, now - last);
        last = now;
    }

    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration longest{};
};

void Load(benchmark::State& state, const QString& path)
{
    if (path.isEmpty()) {
        state.SkipWithError("could not make the book");
        return;
    }
    int chapters = 0;
    std::chrono::steady_clock::duration longest{};
    for (auto _ : state) {
        ReaderState reader;
        NoWindow host;
        const LoadResult result = LoadTextFile(reader, path, host);
        host.Lap();
        if (!result.Succeeded()) {
            state.SkipWithError("load failed");
            return;
        }
        chapters = reader.Books[result.Code].LastChapter() + 1;
        longest = std::max(longest, host.longest);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["chapters"] = chapters;
    state.counters["longest_ms_without_yield"] = std::chrono::duration<double, std::milli>(longest).count();
}

// Whole loads with detection: UTF-8 and Big5 should stay within 1.2 times
// GBK.
void LoadBig100(benchmark::State& state)
{
    Load(state, BookIn(static_cast<TextEncoding>(state.range(0))));
}
BENCHMARK(LoadBig100)
    ->ArgName("encoding")
    ->Arg(int(TextEncoding::Gb18030))
    ->Arg(int(TextEncoding::Utf8))
    ->Arg(int(TextEncoding::Big5))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// The two shapes that once meant quadratic work or a whole file held twice.
void LoadOneLine100(benchmark::State& state)
{
    Load(state, OneLineBook());
}
BENCHMARK(LoadOneLine100)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly();

void LoadShortLines12(benchmark::State& state)
{
    Load(state, ShortLinesBook());
}
BENCHMARK(LoadShortLines12)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly();

void LoadShortLines53(benchmark::State& state)
{
    Load(state, ShortLinesBook(12));
}
BENCHMARK(LoadShortLines53)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly();

// Stands in for the window from the start of a load to its first text: the
// pane is empty until the loader shows something, and the load stops there.
class FirstTextWindow : public LoaderHost {
public:
    void ShowChapter() override
    {
        if (!shown)
            shownAt = std::chrono::steady_clock::now();
        shown = true;
    }
    bool PaneIsEmpty() const override { return !shown; }
    bool Yield() override { return !shown; }

    bool shown = false;
    std::chrono::steady_clock::time_point shownAt;
};

void FirstTextBig100(benchmark::State& state)
{
    const QString path = BookIn(static_cast<TextEncoding>(state.range(0)));
    for (auto _ : state) {
        ReaderState reader;
        FirstTextWindow host;
        const auto start = std::chrono::steady_clock::now();
        LoadTextFile(reader, path, host);
        if (!host.shown) {
            state.SkipWithError("nothing shown");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(host.shownAt - start).count());
    }
}
BENCHMARK(FirstTextBig100)
    ->ArgName("encoding")
    ->Arg(int(TextEncoding::Gb18030))
    ->Arg(int(TextEncoding::Utf8))
    ->Arg(int(TextEncoding::Big5))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// Reading the file in 1 MiB blocks and decoding each, our way and with the
// converters alone: ours should stay within 1.2 times the faster of them.
// `decode` takes the bytes read (after any carried over) and returns how
// many bytes at their end it left for the next block.
// The names iconv and ICU know the encodings by.
const char* ConverterName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Big5: return "BIG5";
    case TextEncoding::Utf16LE: return "UTF-16LE";
    case TextEncoding::Utf16BE: return "UTF-16BE";
    case TextEncoding::Gb18030: break;
    }
    return "GB18030";
}

template <typename Decode>
void ReadAndDecode(benchmark::State& state, const QString& path, Decode decode)
{
    std::vector<char> block(TextFileReader::kBlockSize + 16);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no book");
        return;
    }
    size_t carried = 0;
    qint64 got;
    while ((got = file.read(block.data() + carried, TextFileReader::kBlockSize)) > 0) {
        const size_t left = decode(block.data(), carried + static_cast<size_t>(got));
        std::copy(block.data() + carried + got - left, block.data() + carried + got, block.data());
        carried = left;
    }
}

void DecodeOurs(benchmark::State& state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const QString path = BookIn(encoding);
    QString text;
    for (auto _ : state) {
        TextDecoder decoder(encoding);
        ReadAndDecode(state, path, [&](const char* bytes, size_t size) {
            text.resize(0);
            decoder.Decode(QByteArrayView(bytes, static_cast<qsizetype>(size)), text);
            benchmark::DoNotOptimize(text.data());
            return size_t(0);  // the decoder carries a cut character itself
        });
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void DecodeIconv(benchmark::State& state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const QString path = BookIn(encoding);
    std::vector<char> out(TextFileReader::kBlockSize * 2 + 64);
    for (auto _ : state) {
        iconv_t converter = iconv_open("UTF-16LE", ConverterName(encoding));
        ReadAndDecode(state, path, [&](char* bytes, size_t size) {
            char* src = bytes;
            size_t left = size;
            char* dst = out.data();
            size_t room = out.size();
            iconv(converter, &src, &left, &dst, &room);  // stops at a character cut by the block end
            benchmark::DoNotOptimize(out.data());
            return left;
        });
        iconv_close(converter);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void DecodeIcu(benchmark::State& state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const QString path = BookIn(encoding);
    std::vector<UChar> out(TextFileReader::kBlockSize + 64);
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(ConverterName(encoding), &status);
        ReadAndDecode(state, path, [&](const char* bytes, size_t size) {
            const char* src = bytes;
            UChar* dst = out.data();
            UErrorCode error = U_ZERO_ERROR;
            ucnv_toUnicode(converter, &dst, out.data() + out.size(), &src, bytes + size, nullptr, false, &error);
            benchmark::DoNotOptimize(out.data());
            return size_t(0);  // the converter carries a cut character itself
        });
        ucnv_close(converter);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

QStringDecoder::Encoding QtEncoding(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LE: return QStringDecoder::Utf16LE;
    case TextEncoding::Utf16BE: return QStringDecoder::Utf16BE;
    default: return QStringDecoder::Utf8;
    }
}

// Qt's own converter, for the Unicode encodings: ours should be as fast in
// UTF-16.
void DecodeQt(benchmark::State& state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const QString path = BookIn(encoding);
    QString text;
    for (auto _ : state) {
        QStringDecoder decoder(QtEncoding(encoding));
        ReadAndDecode(state, path, [&](const char* bytes, size_t size) {
            text = decoder.decode(QByteArrayView(bytes, static_cast<qsizetype>(size)));
            benchmark::DoNotOptimize(text.data());
            return size_t(0);
        });
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(DecodeQt)
    ->ArgName("encoding")
    ->Arg(int(TextEncoding::Utf8))
    ->Arg(int(TextEncoding::Utf16LE))
    ->Arg(int(TextEncoding::Utf16BE))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// UTF-16 decoding without the file read, whose copy out of the page cache
// takes most of the time above and varies from run to run: 32 MiB of the
// book held in memory, decoded in 1 MiB blocks by ours (decoder 0) and
// Qt's (decoder 1).
void DecodeInMemory(benchmark::State& state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    QFile file(BookIn(encoding));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no book");
        return;
    }
    const QByteArray bytes = file.read(32 * TextFileReader::kBlockSize);
    const bool ours = state.range(1) == 0;
    QString text;
    for (auto _ : state) {
        TextDecoder decoder(encoding);
        QStringDecoder qtDecoder(QtEncoding(encoding));
        for (qsizetype at = 0; at < bytes.size(); at += TextFileReader::kBlockSize) {
            const QByteArrayView block =
                QByteArrayView(bytes).sliced(at, std::min(TextFileReader::kBlockSize, bytes.size() - at));
            if (ours) {
                text.resize(0);
                decoder.Decode(block, text);
            } else {
                text = qtDecoder.decode(block);
            }
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(DecodeInMemory)
    ->ArgNames({"encoding", "decoder"})
    ->ArgsProduct({{int(TextEncoding::Utf16LE), int(TextEncoding::Utf16BE)}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    // The fastest run: what is left of the noise of a shared machine.
    ->ComputeStatistics("min", [](const std::vector<double>& times) { return *std::ranges::min_element(times); })
    ->ReportAggregatesOnly();

#define DECODE_BENCHMARK(name)                                                                                         \
    BENCHMARK(name)                                                                                                    \
        ->ArgName("encoding")                                                                                          \
        ->Arg(int(TextEncoding::Gb18030))                                                                              \
        ->Arg(int(TextEncoding::Big5))                                                                                 \
        ->Arg(int(TextEncoding::Utf8))                                                                                 \
        ->Arg(int(TextEncoding::Utf16LE))                                                                              \
        ->Arg(int(TextEncoding::Utf16BE))                                                                              \
        ->Unit(benchmark::kMillisecond)                                                                                \
        ->Iterations(3)                                                                                                \
        ->Repetitions(3)                                                                                               \
        ->ReportAggregatesOnly()
DECODE_BENCHMARK(DecodeOurs);
DECODE_BENCHMARK(DecodeIconv);
DECODE_BENCHMARK(DecodeIcu);

// The whole line reader, pieces and line ends included, in the encodings
// a reader detects for the 100 MB book.
void ReadLinesBig100(benchmark::State& state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const QString path = BookIn(encoding);
    qint64 lines = 0;
    for (auto _ : state) {
        TextFileReader reader;
        reader.Open(path, ChoiceOf(encoding));
        QStringView piece;
        bool lineEnds = false;
        lines = 0;
        while (reader.ReadPiece(piece, lineEnds) == ReadStatus::Text)
            lines += lineEnds;
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(ReadLinesBig100)
    ->ArgName("encoding")
    ->Arg(int(TextEncoding::Gb18030))
    ->Arg(int(TextEncoding::Utf8))
    ->Arg(int(TextEncoding::Big5))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
