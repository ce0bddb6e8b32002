// libFuzzer target: LoadTextFile on arbitrary bytes, in every encoding
// choice, read in tiny blocks and in whole blocks, against a reference
// that decodes the whole file at once and builds the chapters line by line
// the plain way. All three books must be the same, chapter for chapter.

#include "core/books/text_loader.h"
#include "core/text/chapter_heading.h"
#include "core/text/encoding_detector.h"
#include "core/text/text_decoder.h"
#include "fuzz_input.h"

#include <cstdio>

namespace {

class QuietHost : public LoaderHost {
public:
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override { return true; }
};

// Lines end at CR, CR LF or LF; a last line without an end is a line.
QStringList Lines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

struct Chapters {
    QStringList titles{QString()};
    QStringList texts{QString()};
};

// Text before the first heading is chapter 0; a heading right after a
// heading replaces its title; every body line is followed by CR LF.
Chapters Reference(const QString& text)
{
    Chapters book;
    QString body;
    for (QString line : Lines(text)) {
        if (!IsChapterHeading(line)) {
            body += line + QStringLiteral("\r\n");
            continue;
        }
        if (!body.isEmpty()) {
            book.texts.last() = body;
            book.titles.append(QString());
            book.texts.append(QString());
            body.clear();
        }
        book.titles.last() = TrimSpaces(line).toString();
    }
    book.texts.last() = body;
    return book;
}

Chapters Loaded(const Book& book)
{
    Chapters chapters;
    chapters.titles.clear();
    chapters.texts.clear();
    FUZZ_CHECK(book.Chapters.size() == book.ChapterTexts.size());
    for (std::size_t i = 0; i < book.Chapters.size(); ++i) {
        FUZZ_CHECK(book.Chapters[i].Number == static_cast<std::int16_t>(i));
        chapters.titles.append(book.Chapters[i].Title);
        chapters.texts.append(book.ChapterTexts[i]);
    }
    return chapters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzBytes input(bytes, size);
    const EncodingChoice choice = kEncodingChoices[input.Next() % kEncodingChoices.size()];
    const qsizetype tinyBlock = 1 + input.Next() % 8;
    const QByteArray file(reinterpret_cast<const char*>(input.Rest()), qsizetype(input.RestSize()));
    const QString path = WriteScratchFile(QStringLiteral("书.txt"), file.constData(), file.size());

    QuietHost host;
    ReaderState whole, tiny;
    const LoadResult wholeResult = LoadTextFile(whole, path, host, choice);
    const LoadResult tinyResult =
        LoadTextFile(tiny, path, host, choice, LoadTuning{tinyBlock, std::chrono::nanoseconds(0)});
    FUZZ_CHECK(wholeResult.Succeeded() && tinyResult.Succeeded());
    const Book& book = whole.Books[1];
    FUZZ_CHECK(tiny.Books[1].Encoding == book.Encoding);

    const Chapters loaded = Loaded(book);
    const Chapters inTinyBlocks = Loaded(tiny.Books[1]);
    FUZZ_CHECK(inTinyBlocks.titles == loaded.titles);
    FUZZ_CHECK(inTinyBlocks.texts == loaded.texts);

    const qsizetype mark = ByteOrderMarkLength(file, book.Encoding);
    const Chapters expected = Reference(DecodeText(QByteArrayView(file).sliced(mark), book.Encoding));
    FUZZ_CHECK(loaded.titles == expected.titles);
    FUZZ_CHECK(loaded.texts == expected.texts);
    return 0;
}
