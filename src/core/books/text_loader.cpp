#include "core/books/text_loader.h"

#include "core/files/plain_file.h"
#include "core/text/chapter_heading.h"
#include "core/text/file_names.h"
#include "core/text/heading_rules.h"
#include "core/text/rule_survey.h"

#include <QFileInfo>

#include <utility>

namespace {

constexpr QStringView kLineEnd = u"\r\n";
constexpr char16_t kSpace = u' ';
constexpr int kMaxChapterIndex = 32767;
// Between lines the clock is read once every this many lines.
constexpr int kLinesPerClockCheck = 256;

// Yields to the event loop by time rather than after every line, so the
// window stays as responsive while a large book spends far less time in it.
class YieldClock {
public:
    YieldClock(LoaderHost& host, std::chrono::nanoseconds interval)
        : host_(host)
        , interval_(interval)
        , last_(Clock::now())
    {}

    // After a line. False when the host asks the load to stop.
    bool Tick()
    {
        if (++lines_ < kLinesPerClockCheck)
            return true;
        return Check();
    }

    // After a piece of a line that goes on: about a block of text, worth a
    // look at the clock every time, so a line of any length yields too.
    bool Check()
    {
        lines_ = 0;
        if (Clock::now() - last_ < interval_)
            return true;
        const bool goOn = host_.Yield();
        last_ = Clock::now();
        return goOn;
    }

private:
    using Clock = std::chrono::steady_clock;
    LoaderHost& host_;
    std::chrono::nanoseconds interval_;
    Clock::time_point last_;
    int lines_ = 0;
};

// The start of a line whose end has not been read yet. It knows its length
// without outer spaces at every step without looking at any piece twice.
class LineStart {
public:
    void Append(QStringView piece)
    {
        const qsizetype offset = text_.size();
        text_.append(piece);
        qsizetype last = piece.size();
        while (last > 0 && piece[last - 1] == kSpace)
            --last;
        if (last == 0)
            return;  // spaces only
        end_ = offset + last;
        if (first_ < 0) {
            qsizetype first = 0;
            while (piece[first] == kSpace)
                ++first;
            first_ = offset + first;
        }
    }
    qsizetype LengthWithoutOuterSpaces() const { return first_ < 0 ? 0 : end_ - first_; }
    bool IsEmpty() const { return text_.isEmpty(); }
    const QString& Text() const { return text_; }
    void Clear()
    {
        text_ = QString();
        first_ = -1;
        end_ = 0;
    }

private:
    QString text_;
    qsizetype first_ = -1;  // first character that is not a space
    qsizetype end_ = 0;     // just after the last one
};

// Builds the chapters of book `slot` line by line. The book is looked up
// again after everything that can run the event loop, never held across it.
class ChapterBuilder {
public:
    ChapterBuilder(ReaderState& state, int slot, LoaderHost& host, const LoadTuning& tuning)
        : state_(state)
        , slot_(slot)
        , host_(host)
        , clock_(host, tuning.yieldInterval)
        , rule_(tuning.rule)
        , survey_(tuning.rule ? nullptr : tuning.survey)
        , splitsParts_(tuning.rule && tuning.rule->splitsLongChapters)
    {
        if (!tuning.rule && !survey_ && tuning.surveyRules) {
            ownSurvey_.emplace();
            survey_ = &*ownSurvey_;
        }
    }

    // Reads every line of `reader` into the book. A wrong guess of the
    // reader ends the reading without an error; the caller starts over.
    LoadError Read(TextFileReader& reader)
    {
        QStringView piece;
        bool lineEnds = false;
        for (;;) {
            switch (reader.ReadPiece(piece, lineEnds)) {
            case ReadStatus::Text: break;
            case ReadStatus::Failed: return reader.Outgrew() ? LoadError::Outgrown : LoadError::ReadFailed;
            case ReadStatus::End:
            case ReadStatus::WrongGuess: return LoadError::None;
            }
            if (!lineEnds) {
                TakeLineStart(piece);
                if (!clock_.Check())
                    return LoadError::Interrupted;
                continue;
            }
            LoadError error = LoadError::None;
            if (longLine_) {
                AppendLine(piece);
                NoteBuiltInLine(false);
                longLine_ = false;
            } else if (lineStart_.IsEmpty()) {
                error = TakeLine(piece);
            } else {
                lineStart_.Append(piece);
                error = TakeLine(lineStart_.Text());
                lineStart_.Clear();
            }
            ++lineNumber_;
            if (error == LoadError::None && splitsParts_ && body_.size() > kPartLimit)
                error = CutParts();
            if (error != LoadError::None)
                return error;
            // Once chapter 1 is under way, show chapter 0 if nothing is shown yet.
            if (chapter_ == 1 && host_.PaneIsEmpty()) {
                state_.Books[slot_].ChapterIndex = 0;
                Show();
            }
            if (!clock_.Tick())
                return LoadError::Interrupted;
        }
    }

    // The last chapter takes the body read since the last heading.
    void Finish()
    {
        Book& book = state_.Books[slot_];
        const int last = book.LastChapter();
        book.Chapters[last].Number = static_cast<std::int16_t>(last);
        book.ChapterTexts[last] = TakeBody();
        if (survey_)
            survey_->Finish(stored_);
        if (ownSurvey_) {
            book.BetterRule = ownSurvey_->Better().value_or(QString());
            book.BetterRuleChapters = ownSurvey_->ChaptersOf(book.BetterRule);
        }
        if (rule_)
            book.BuiltInFirstLines = std::move(builtInFirstLines_);
    }

    // Empties the book for a second reading, as it was before the first. If
    // it is the book being read, the pane shows it again (empty), so no text
    // in the wrong encoding stays on screen either.
    void StartOver()
    {
        Book& book = state_.Books[slot_];
        book.Chapters.assign(1, ChapterEntry{});
        book.ChapterTexts.assign(1, QString());
        book.ChapterIndex = 0;
        body_ = QString();
        stored_ = 0;
        lineNumber_ = 0;
        builtInFirstLines_.assign(1, -1);
        builtInBodyEmpty_ = true;
        partTitle_.clear();
        if (survey_)
            *survey_ = RuleSurvey();
        chapter_ = -1;
        lineStart_.Clear();
        longLine_ = false;
        if (state_.CurrentBook == slot_)
            Show();
    }

private:
    // A piece of a line that goes on. Once the line is 30 characters long
    // without its outer spaces it cannot be a heading and is stored as it
    // is, so its pieces go straight into the body.
    void TakeLineStart(QStringView piece)
    {
        if (longLine_) {
            body_.append(piece);
            return;
        }
        lineStart_.Append(piece);
        if (lineStart_.LengthWithoutOuterSpaces() >= (rule_ ? kRuleLineLimit : kHeadingLengthLimit)) {
            body_.append(lineStart_.Text());
            lineStart_.Clear();
            longLine_ = true;
        }
    }

    LoadError TakeLine(QStringView view)
    {
        if (rule_)
            return TakeLineByRule(view);
        // Long lines are never headings and are stored as they are; only
        // short ones that might be go through the recogniser, which may
        // clean them.
        const qsizetype length = LengthWithoutOuterSpaces(view);
        if (length >= kHeadingLengthLimit || !NeedsHeadingTest(view)) {
            if (survey_ && length < kRuleLineLimit)
                survey_->Take(view, false, Position());
            AppendLine(view);
            return LoadError::None;
        }
        line_ = view.toString();
        const bool heading = IsChapterHeading(line_);
        if (survey_)
            survey_->Take(line_, heading, Position());
        if (!heading) {
            AppendLine(line_);
            return LoadError::None;
        }
        return StartChapter(TrimSpaces(line_).toString());
    }

    // The same line as the recogniser would store it, split by the rule
    // instead: a rule changes where chapters begin, never the text.
    LoadError TakeLineByRule(QStringView view)
    {
        if (LengthWithoutOuterSpaces(view) >= kRuleLineLimit) {
            AppendLine(view);
            NoteBuiltInLine(false);
            return LoadError::None;
        }
        line_ = view.toString();
        const bool builtIn = IsChapterHeading(line_);  // which also cleans the line
        NoteBuiltInLine(builtIn);
        bool heading = rule_->builtInHeadings ? builtIn : rule_->Takes(line_);
        if (heading ? rule_->unmarkedHeadings.contains(lineNumber_) : rule_->markedHeadings.contains(lineNumber_))
            heading = !heading;
        // The title is the line as stored, so every split keeps every line.
        QString title = TrimSpaces(line_).toString();
        if (!heading || title.isEmpty()) {
            AppendLine(line_);
            return LoadError::None;
        }
        return StartChapter(std::move(title));
    }

    // A heading line: the chapter in progress ends when it holds text. With
    // the built-in recogniser a heading right after another replaces its
    // title; a rule keeps both, so a volume line before its first chapter
    // stays in the contents.
    LoadError StartChapter(QString title)
    {
        Book& book = state_.Books[slot_];
        chapter_ = book.LastChapter();
        const bool titled = rule_ && !rule_->builtInHeadings && !book.Chapters[chapter_].Title.isEmpty();
        if (!body_.isEmpty() || titled) {
            book.ChapterTexts[chapter_] = TakeBody();
            book.Chapters[chapter_].Number = static_cast<std::int16_t>(chapter_);
            if (chapter_ == 0 && book.ChapterTexts[0].size() >= 5) {
                book.ChapterIndex = 0;
                Show();
            }
            if (chapter_ >= kMaxChapterIndex)
                return LoadError::Overflow;
            ++chapter_;
            Book& grown = state_.Books[slot_];  // ShowChapter may have run anything
            grown.Chapters.resize(chapter_ + 1);
            grown.ChapterTexts.resize(chapter_ + 1);
        }
        ChapterEntry& entry = state_.Books[slot_].Chapters[chapter_];
        entry.Number = static_cast<std::int16_t>(chapter_);
        entry.Volume = rule_ && rule_->BeginsVolume(title);
        entry.Part = 0;
        partTitle_ = title;
        entry.Title = std::move(title);
        entry.FirstLine = lineNumber_;
        return LoadError::None;
    }

    // Closes parts of the chapter in progress while it is too long to read
    // whole: each a chapter of its own, titled after the chapter with its
    // number. The part in progress always keeps some text.
    LoadError CutParts()
    {
        for (qsizetype end = PartEnd(body_); end > 0; end = PartEnd(body_)) {
            Book& book = state_.Books[slot_];
            const int at = book.LastChapter();
            if (at >= kMaxChapterIndex)
                return LoadError::None;  // the rest stays in the last part
            ChapterEntry& entry = book.Chapters[at];
            if (entry.Part == 0) {
                entry.Part = 1;
                entry.Title = partTitle_ + PartSuffix(1);
            }
            const std::int16_t part = entry.Part;
            QString text = body_.left(end);
            body_.remove(0, end);
            stored_ += text.size();
            const std::int32_t nextLine =
                entry.FirstLine + (entry.HeadingLength() > 0 ? 1 : 0) + static_cast<std::int32_t>(text.count(kLineEnd));
            entry.Number = static_cast<std::int16_t>(at);
            book.ChapterTexts[at] = std::move(text);
            book.Chapters.resize(at + 2);
            book.ChapterTexts.resize(at + 2);
            ChapterEntry& next = book.Chapters[at + 1];
            next.Number = static_cast<std::int16_t>(at + 1);
            next.Part = static_cast<std::int16_t>(part + 1);
            next.Title = partTitle_ + PartSuffix(part + 1);
            next.FirstLine = nextLine;
            chapter_ = at + 1;
            if (at == 0) {
                book.ChapterIndex = 0;
                Show();
            }
        }
        return LoadError::None;
    }

    static QString PartSuffix(int part) { return QStringLiteral("（%1）").arg(part); }

    // The body of the chapter just closed, without the room it grew into:
    // that room is a third of the text on average, for as long as the book
    // is open. Shrinking a block in place costs no copy.
    QString TakeBody()
    {
        if (body_.capacity() - body_.size() > body_.size() / 16)
            body_.squeeze();
        stored_ += body_.size();
        return std::exchange(body_, QString());
    }

    // Where the built-in recogniser's chapters begin, followed alongside a
    // load by a rule: a heading begins a chapter after text, and after
    // another heading replaces it.
    void NoteBuiltInLine(bool heading)
    {
        if (!rule_)
            return;
        if (!heading) {
            builtInBodyEmpty_ = false;
        } else if (builtInBodyEmpty_) {
            builtInFirstLines_.back() = lineNumber_;
        } else {
            builtInFirstLines_.push_back(lineNumber_);
            builtInBodyEmpty_ = true;
        }
    }

    // Characters stored so far: where the next line stands in the book.
    qsizetype Position() const { return stored_ + body_.size(); }

    // One line and its CR LF in one step: books of millions of short lines
    // spend much of their load here.
    void AppendLine(QStringView line)
    {
        const qsizetype at = body_.size();
        body_.resize(at + line.size() + kLineEnd.size());
        QChar* out = body_.data() + at;
        std::copy(line.begin(), line.end(), out);
        std::copy(kLineEnd.begin(), kLineEnd.end(), out + line.size());
    }

    void Show() { host_.ShowChapter(); }

    ReaderState& state_;
    const int slot_;
    LoaderHost& host_;
    YieldClock clock_;
    QString body_;
    int chapter_ = -1;  // the chapter in progress; unset until the first heading
    QString line_;
    LineStart lineStart_;
    bool longLine_ = false;              // the line in progress goes straight into the body
    const HeadingRule* rule_ = nullptr;  // null: the built-in recogniser
    RuleSurvey* survey_ = nullptr;
    std::optional<RuleSurvey> ownSurvey_;
    qsizetype stored_ = 0;         // characters of the chapters closed so far
    std::int32_t lineNumber_ = 0;  // of the line being taken
    std::vector<std::int32_t> builtInFirstLines_{-1};
    bool builtInBodyEmpty_ = true;
    const bool splitsParts_;  // chapters too long are cut into parts
    QString partTitle_;       // the heading of the chapter in progress
};

}  // namespace

LoadError ReadBookText(ReaderState& state, int slot, TextFileReader& reader, EncodingChoice choice, LoaderHost& host,
                       const LoadTuning& tuning)
{
    state.Books[slot].Encoding = reader.Encoding();
    state.Books[slot].ChosenEncoding = choice;
    ChapterBuilder builder(state, slot, host, tuning);
    LoadError error = builder.Read(reader);
    if (error == LoadError::None && reader.GuessedWrong()) {
        builder.StartOver();
        TextFileReader again(tuning.blockSize);
        if (!again.Open(state.Books[slot].Path, EncodingChoice::Gb18030))
            return LoadError::ReadFailed;
        state.Books[slot].Encoding = again.Encoding();
        error = builder.Read(again);
    }
    if (error == LoadError::None)
        builder.Finish();
    return error;
}

LoadStart StartLoad(ReaderState& state, const QString& path, EncodingChoice encoding, qsizetype blockSize, bool named)
{
    LoadStart start;
    if (named ? !IsNamedFile(path) : !IsListedFile(path)) {
        start.result.Message = QString::fromUtf16(kFileNotFound);
        return start;
    }
    const QString fileName = ReadablePath(QFileInfo(path).fileName());

    auto reader = std::make_unique<TextFileReader>(blockSize);
    if (!reader->Open(path, encoding)) {
        start.result.error = LoadError::ReadFailed;
        return start;
    }

    if (const int existing = state.Books.FindByPath(path)) {
        start.result.Code = existing;
        return start;
    }

    // The book's slot is kept for the whole load; the book itself is looked
    // up again after every yield, never held across one.
    const int slot = state.Books.Add(path, fileName);
    if (slot == 0) {
        start.result.error = LoadError::Overflow;
        return start;
    }
    state.CurrentBook = static_cast<std::int16_t>(slot);
    start.slot = slot;
    start.reader = std::move(reader);
    return start;
}

LoadResult LoadTextFile(ReaderState& state, const QString& path, LoaderHost& host, EncodingChoice encoding,
                        const LoadTuning& tuning)
{
    LoadStart start = StartLoad(state, path, encoding, tuning.blockSize);
    if (!start.reader)
        return start.result;
    start.result.error = ReadBookText(state, start.slot, *start.reader, encoding, host, tuning);
    if (start.result.error == LoadError::None)
        start.result.Code = start.slot;
    return start.result;
}

LoadStart StartReload(ReaderState& state, int slot, EncodingChoice encoding, qsizetype blockSize)
{
    LoadStart start;
    if (!state.Books.IsBook(slot) || !IsListedFile(state.Books[slot].Path)) {
        start.result.Message = QString::fromUtf16(kFileNotFound);
        return start;
    }
    auto reader = std::make_unique<TextFileReader>(blockSize);
    if (!reader->Open(state.Books[slot].Path, encoding)) {
        start.result.error = LoadError::ReadFailed;
        return start;
    }
    // The slot starts again as a new book would; only the chapter shown is
    // put back at the end (EndReload).
    Book& book = state.Books[slot];
    start.keptChapter = book.ChapterIndex;
    book.Chapters.assign(1, ChapterEntry{});
    book.ChapterTexts.assign(1, QString());
    book.ChapterIndex = 0;
    start.slot = slot;
    start.reader = std::move(reader);
    return start;
}

void EndReload(Book& book, int keptChapter)
{
    book.ChapterIndex = keptChapter >= -1 && keptChapter <= book.LastChapter() ? keptChapter : 0;
}

LoadResult ReloadTextFile(ReaderState& state, int slot, LoaderHost& host, EncodingChoice encoding,
                          const LoadTuning& tuning)
{
    LoadStart start = StartReload(state, slot, encoding, tuning.blockSize);
    if (!start.reader)
        return start.result;
    start.result.error = ReadBookText(state, slot, *start.reader, encoding, host, tuning);
    if (start.result.error != LoadError::None)
        return start.result;
    EndReload(state.Books[slot], start.keptChapter);
    start.result.Code = slot;
    return start.result;
}

QString LoadFailureText(const LoadResult& result)
{
    switch (result.error) {
    case LoadError::Overflow: return QStringLiteral("溢出");
    case LoadError::ReadFailed: return QStringLiteral("文件读取错误");
    case LoadError::Outgrown: return QStringLiteral("文件在读取时不断变大，已停止读取");
    case LoadError::Interrupted: return QStringLiteral("加载已中断");
    case LoadError::None: break;
    }
    return QStringLiteral("文件打开错误!") + QString::number(result.Code) + result.Message;
}
