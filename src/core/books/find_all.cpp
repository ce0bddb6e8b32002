#include "core/books/find_all.h"

#include "core/books/text_loader.h"
#include "core/text/encoding_detector.h"
#include "core/text/line_reader.h"
#include "core/text/text_decoder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// A batch goes out with the first hit (the list shows something at once),
// then whenever this long has passed since the last one.
constexpr qint64 kBatchIntervalMs = 40;
// Threads that search the files of a library at once, at most, and how
// often a waiting one looks whether the search was stopped.
constexpr int kMostSearchThreads = 4;
constexpr std::chrono::milliseconds kStopLook{10};
// Characters of context on either side of an occurrence.
constexpr qsizetype kContextAround = 24;

class Batcher {
public:
    explicit Batcher(const HitBatch& deliver) : deliver_(deliver) { clock_.start(); }

    void Add(FoundHit hit)
    {
        batch_.append(std::move(hit));
        if (!delivered_ || clock_.elapsed() >= kBatchIntervalMs)
            Flush();
    }
    // Between files: hits found a while ago go out even when no more come.
    void FlushIfDue()
    {
        if (clock_.elapsed() >= kBatchIntervalMs)
            Flush();
    }
    void Flush()
    {
        if (batch_.isEmpty())
            return;
        deliver_(std::exchange(batch_, {}));
        delivered_ = true;
        clock_.restart();
    }

private:
    const HitBatch& deliver_;
    QList<FoundHit> batch_;
    QElapsedTimer clock_;
    bool delivered_ = false;
};

bool IsLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Texts as shown: converted to the book's script by a converter of the
// worker's own (the reader's are not shared between threads).
class ShownTexts {
public:
    QString Text(const FindBook& book, int chapter)
    {
        const QString& text = book.texts[static_cast<size_t>(chapter)];
        if (book.script == ScriptChoice::None)
            return text;
        std::unique_ptr<ScriptConverter>& converter = converters_[book.script];
        if (!converter)
            converter = std::make_unique<ScriptConverter>(book.script);
        return converter->Convert(text);
    }

private:
    std::map<ScriptChoice, std::unique_ptr<ScriptConverter>> converters_;
};

void AddBodyHits(Batcher& batcher, int slot, int chapter, const QString& title, const QString& body,
                 const QString& findWhat, qsizetype from)
{
    for (const qsizetype at : OccurrencesFrom(body, findWhat, from))
        batcher.Add({slot, chapter, at, findWhat.size(), title, HitContext(body, at, findWhat.size())});
}

// A chapter entered by the walk: its heading, then its body after it.
void AddChapterHits(Batcher& batcher, int slot, int chapter, const QString& title, const QString& body,
                    const QString& findWhat)
{
    if (title.contains(findWhat))
        batcher.Add({slot, chapter, -1, 0, title, title});
    AddBodyHits(batcher, slot, chapter, title, body, findWhat, BodyStartAfterHeading(title, findWhat, body));
}

// Stands in for the window while a library file is read: nothing to show,
// and the read stops when the search does.
class QuietHost : public LoaderHost {
public:
    explicit QuietHost(const std::atomic<bool>& stop) : stop_(stop) {}
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override { return !stop_.load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>& stop_;
};

// Whether the bytes of a file may hold `findWhat` once read as the loader
// reads it. False only when that is certain: the word is made of
// characters each encoding writes one way only (the GBK ideographs, ASCII
// letters, digits and signs), its encoding is not among the bytes, and
// neither is "〓" (the loader deletes it from short lines, which may join
// the word). Most books of a library hold a name searched for nowhere;
// these are then not split into chapters at all.
class BytesFilter {
public:
    explicit BytesFilter(const QString& findWhat)
    {
        for (const QChar c : findWhat) {
            const char16_t u = c.unicode();
            // Big5 writes 兀 and 嗀 twice.
            const bool ideograph = u >= 0x4E00 && u <= 0x9FA5 && u != 0x5140 && u != 0x55C0;
            if (!ideograph && (u < 0x21 || u > 0x7E))
                return;
        }
        // Encoding is slow (a converter each time): once per search.
        for (const TextEncoding encoding : kEncodings)
            patterns_.append({encoding, EncodeText(findWhat, encoding), EncodeText(u"〓", encoding)});
    }

    bool MayHold(const QByteArray& bytes, EncodingChoice choice) const
    {
        if (patterns_.isEmpty())
            return true;
        const QByteArrayView head = QByteArrayView(bytes).first(std::min(bytes.size(), kDetectionSampleSize));
        const TextEncoding encoding = BookEncoding(head, bytes.size() <= kDetectionSampleSize, ForcedEncoding(choice));
        return std::any_of(patterns_.cbegin(), patterns_.cend(), [&](const Pattern& pattern) {
            // UTF-8 may prove wrong, and the file is read as GB18030.
            const bool read = pattern.encoding == encoding
                || (encoding == TextEncoding::Utf8 && pattern.encoding == TextEncoding::Gb18030);
            return read && (Holds(bytes, pattern.word) || Holds(bytes, pattern.joiner));
        });
    }

private:
    static bool Holds(const QByteArray& bytes, const QByteArray& pattern)
    {
        // glibc's memmem is several times faster than QByteArray::contains.
        return memmem(bytes.constData(), static_cast<size_t>(bytes.size()), pattern.constData(),
                      static_cast<size_t>(pattern.size()))
            != nullptr;
    }

    static constexpr TextEncoding kEncodings[] = {TextEncoding::Gb18030, TextEncoding::Utf8, TextEncoding::Big5,
                                                  TextEncoding::Utf16LE, TextEncoding::Utf16BE};
    struct Pattern {
        TextEncoding encoding;
        QByteArray word;
        QByteArray joiner;
    };
    QList<Pattern> patterns_;
};

}  // namespace

QString HitContext(const QString& text, qsizetype offset, qsizetype length)
{
    qsizetype start = offset;
    while (start > 0 && offset - start < kContextAround && !IsLineEnd(text[start - 1]))
        --start;
    const qsizetype hitEnd = std::min(offset + length, text.size());
    qsizetype end = hitEnd;
    while (end < text.size() && end - hitEnd < kContextAround && !IsLineEnd(text[end]))
        ++end;
    return text.mid(start, end - start);
}

FindAllEnd FindAll(const FindAllInput& input, const HitBatch& deliver, const std::atomic<bool>& stop)
{
    const QString& findWhat = input.findWhat;
    if (findWhat.isEmpty())
        return {};
    const std::int64_t o = input.cursor.offset;
    Batcher batcher(deliver);
    if (input.scope == SearchScope::Pane) {
        if (o < 0 || o > input.paneText.size())
            return {false, kInvalidArgument};
        const int chapter = static_cast<int>(input.cursor.chapter);
        const FindBook* book = input.books.empty() ? nullptr : &input.books.front();
        const QString title = book && chapter >= 0 && static_cast<size_t>(chapter) < book->titles.size()
            ? book->titles[static_cast<size_t>(chapter)]
            : QString();
        AddBodyHits(batcher, static_cast<int>(input.cursor.book), chapter, title, input.paneText, findWhat, o);
        batcher.Flush();
        return {};
    }
    const std::int64_t c = input.cursor.chapter == -1 ? 0 : input.cursor.chapter;
    if (input.books.empty() || input.books.front().slot != input.cursor.book || c < 0
        || c >= static_cast<std::int64_t>(input.books.front().texts.size()))
        return {false, kNoSuchIndex};
    ShownTexts shown;
    const FindBook& first = input.books.front();
    const int startChapter = static_cast<int>(c);
    const QString startBody = shown.Text(first, startChapter);
    if (o < 0 || o > startBody.size())
        return {false, kInvalidArgument};
    AddBodyHits(batcher, first.slot, startChapter, first.titles[static_cast<size_t>(startChapter)], startBody, findWhat,
                o);
    const size_t lastBook = input.scope == SearchScope::AllBooks ? input.books.size() : 1;
    for (size_t j = 0; j < lastBook; ++j) {
        const FindBook& book = input.books[j];
        for (size_t n = j == 0 ? static_cast<size_t>(startChapter) + 1 : 0; n < book.texts.size(); ++n) {
            if (stop.load(std::memory_order_relaxed)) {
                batcher.Flush();
                return {true, 0};
            }
            const int chapter = static_cast<int>(n);
            AddChapterHits(batcher, book.slot, chapter, book.titles[n], shown.Text(book, chapter), findWhat);
        }
    }
    batcher.Flush();
    return {};
}

namespace {

// What one file of the library gave.
struct FileHits {
    QList<FoundHit> hits;
    qint64 size = 0;
    bool readable = true;
};

FileHits SearchFile(const LibraryFile& file, int index, const QString& findWhat, const BytesFilter& filter,
                    const std::atomic<bool>& stop)
{
    FileHits found;
    // A file QFile cannot open (a name in bytes that are not UTF-8) goes to
    // the loader, which opens it by those bytes or says why not.
    QFile bytes(file.path);
    found.size = bytes.size();
    if (bytes.open(QIODevice::ReadOnly) && !filter.MayHold(bytes.readAll(), file.encoding))
        return found;
    bytes.close();
    try {
        ReaderState state;
        QuietHost host(stop);
        const LoadResult loaded = LoadTextFile(state, file.path, host, file.encoding);
        found.readable = loaded.Succeeded();
        if (!found.readable)
            return found;
        // Every heading and every occurrence of the book, as its list of
        // hits would read from the start.
        const Book& book = state.Books[loaded.Code];
        for (int n = 0; n <= book.LastChapter() && !stop.load(std::memory_order_relaxed); ++n) {
            const QString& title = book.Chapters[static_cast<size_t>(n)].Title;
            const QString& body = book.ChapterTexts[static_cast<size_t>(n)];
            if (title.contains(findWhat))
                found.hits.append({index, n, -1, 0, title, title});
            for (const qsizetype at : OccurrencesFrom(body, findWhat, 0))
                found.hits.append({index, n, at, findWhat.size(), title, HitContext(body, at, findWhat.size())});
        }
    } catch (const std::bad_alloc&) {
        found = {{}, found.size, false};
    }
    return found;
}

}  // namespace

// Files are searched by a few threads at once, and their hits handed on in
// the files' order: a file's hits wait for those of the files before it.
FindAllEnd FindInFiles(const QList<LibraryFile>& files, const QString& findWhat, const HitBatch& deliver,
                       const std::function<void(const FindProgress&)>& progress, const std::atomic<bool>& stop)
{
    FindProgress done;
    done.files = static_cast<int>(files.size());
    for (const LibraryFile& file : files)
        done.bytes += QFileInfo(file.path).size();
    progress(done);
    if (findWhat.isEmpty())
        return {};
    const BytesFilter filter(findWhat);
    const int threads = std::clamp(QThread::idealThreadCount(), 1, kMostSearchThreads);
    // Files searched ahead of the one handed on next, at most.
    const qsizetype ahead = 2 * threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::map<qsizetype, FileHits> searched;
    qsizetype nextToSearch = 0;
    qsizetype nextToHandOn = 0;
    const auto stopped = [&] { return stop.load(std::memory_order_relaxed); };
    const auto search = [&] {
        for (;;) {
            qsizetype i = 0;
            {
                std::unique_lock lock(mutex);
                // The stop flag is set without a notification: look again now and then.
                while (!stopped() && nextToSearch < files.size() && nextToSearch >= nextToHandOn + ahead)
                    changed.wait_for(lock, kStopLook);
                if (stopped() || nextToSearch >= files.size())
                    return;
                i = nextToSearch++;
            }
            FileHits found = SearchFile(files[i], static_cast<int>(i), findWhat, filter, stop);
            {
                const std::lock_guard lock(mutex);
                searched.emplace(i, std::move(found));
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> searchers;
    searchers.reserve(static_cast<size_t>(threads));
    for (int k = 0; k < threads; ++k)
        searchers.emplace_back(search);

    Batcher batcher(deliver);
    while (nextToHandOn < files.size() && !stopped()) {
        FileHits found;
        {
            std::unique_lock lock(mutex);
            while (!stopped() && !searched.contains(nextToHandOn))
                changed.wait_for(lock, kStopLook);
            if (stopped())
                break;
            found = std::move(searched.extract(nextToHandOn).mapped());
            ++nextToHandOn;
        }
        changed.notify_all();
        for (FoundHit& hit : found.hits)
            batcher.Add(std::move(hit));
        done.unreadable += found.readable ? 0 : 1;
        ++done.filesDone;
        done.bytesDone += found.size;
        batcher.FlushIfDue();
        progress(done);
    }
    for (std::thread& searcher : searchers)
        searcher.join();
    batcher.Flush();
    return {stopped(), 0};
}
