#include "core/books/text_loader.h"

#include "core/files/plain_file.h"
#include "core/text/chapter_heading.h"
#include "core/text/line_reader.h"

#include <QFileInfo>

#include <chrono>

namespace {

constexpr QStringView kLineEnd = u"\r\n";
constexpr int kMaxChapterIndex = 32767;
// The clock is read once every this many lines, and the event loop runs
// when about kYieldInterval has passed since it last ran.
constexpr int kLinesPerClockCheck = 256;
constexpr auto kYieldInterval = std::chrono::milliseconds(10);

// Yields to the event loop by time rather than after every line, so the
// window stays as responsive while a large book spends far less time in it.
class YieldClock {
public:
    explicit YieldClock(LoaderHost& host) : host_(host), last_(Clock::now()) {}

    // False when the host asks the load to stop.
    bool Tick()
    {
        if (++lines_ < kLinesPerClockCheck)
            return true;
        lines_ = 0;
        const auto now = Clock::now();
        if (now - last_ < kYieldInterval)
            return true;
        const bool goOn = host_.Yield();
        last_ = Clock::now();
        return goOn;
    }

private:
    using Clock = std::chrono::steady_clock;
    LoaderHost& host_;
    Clock::time_point last_;
    int lines_ = 0;
};

}  // namespace

LoadResult LoadTextFile(ReaderState& state, const QString& path, LoaderHost& host)
{
    LoadResult result;
    if (!IsListedFile(path)) {
        result.Message = QString::fromUtf16(kFileNotFound);
        return result;
    }
    const QString fileName = QFileInfo(path).fileName();

    TextFileReader reader;
    if (!reader.Open(path)) {
        result.Error = LoadError::ReadFailed;
        return result;
    }

    if (const int existing = state.Books.FindByPath(path)) {
        result.Code = existing;
        return result;
    }

    // The book's slot is kept for the whole load; the book itself is looked
    // up again after every yield, never held across one.
    const int slot = state.Books.Add(path, fileName);
    if (slot == 0) {
        result.Error = LoadError::Overflow;
        return result;
    }
    state.CurrentBook = static_cast<std::int16_t>(slot);

    QString body;
    int chapter = -1;  // the chapter in progress; unset until the first heading
    YieldClock clock(host);
    QStringView view;
    QString line;
    while (reader.ReadLine(view)) {
        // Long lines are never headings and are stored as they are; only
        // short ones go through the recogniser, which may clean them.
        if (LengthWithoutOuterSpaces(view) >= kHeadingLengthLimit) {
            body.append(view);
            body.append(kLineEnd);
        } else {
            line = view.toString();
            if (!IsChapterHeading(line)) {
                body.append(line);
                body.append(kLineEnd);
            } else {
                Book& book = state.Books[slot];
                chapter = book.LastChapter();
                if (!body.isEmpty()) {
                    book.ChapterTexts[chapter] = std::move(body);
                    book.Chapters[chapter].Number = static_cast<std::int16_t>(chapter);
                    body = QString();
                    if (chapter == 0 && book.ChapterTexts[0].size() >= 5) {
                        book.ChapterIndex = 0;
                        host.ShowChapter();
                    }
                    if (chapter >= kMaxChapterIndex) {
                        result.Error = LoadError::Overflow;
                        return result;
                    }
                    ++chapter;
                    Book& grown = state.Books[slot];  // ShowChapter may have run anything
                    grown.Chapters.resize(chapter + 1);
                    grown.ChapterTexts.resize(chapter + 1);
                }
                ChapterEntry& entry = state.Books[slot].Chapters[chapter];
                entry.Number = static_cast<std::int16_t>(chapter);
                entry.Title = TrimSpaces(line).toString();
            }
        }
        // Once chapter 1 is under way, show chapter 0 if nothing is shown yet.
        if (chapter == 1 && host.PaneIsEmpty()) {
            state.Books[slot].ChapterIndex = 0;
            host.ShowChapter();
        }
        if (!clock.Tick()) {
            result.Error = LoadError::Interrupted;
            return result;
        }
    }
    if (reader.HasError()) {
        result.Error = LoadError::ReadFailed;
        return result;
    }

    Book& book = state.Books[slot];
    const int last = book.LastChapter();
    book.Chapters[last].Number = static_cast<std::int16_t>(last);
    book.ChapterTexts[last] = std::move(body);
    result.Code = slot;
    return result;
}

QString LoadFailureText(const LoadResult& result)
{
    switch (result.Error) {
    case LoadError::Overflow: return QStringLiteral("溢出");
    case LoadError::ReadFailed: return QStringLiteral("文件读取错误");
    case LoadError::Interrupted: return QStringLiteral("加载已中断");
    case LoadError::None: break;
    }
    return QStringLiteral("文件打开错误!") + QString::number(result.Code) + result.Message;
}
