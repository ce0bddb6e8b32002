#include "core/speech/read_aloud.h"

#include "core/reading/reader.h"
#include "core/reading/reader_view.h"
#include "core/speech/speech_engine.h"

#include <algorithm>
#include <utility>

ReadAloud::ReadAloud(Reader& reader, const ReaderView& view, SpeechEngine& engine, QObject* parent)
    : QObject(parent)
    , reader_(reader)
    , view_(view)
    , engine_(engine)
{
    connect(&engine_, &SpeechEngine::Spoken, this, &ReadAloud::SayNext);
    connect(&engine_, &SpeechEngine::Failed, this, &ReadAloud::Stop);
    sleepTimer_.setSingleShot(true);
    // The sentence under way is finished, not cut off mid-word.
    connect(&sleepTimer_, &QTimer::timeout, this, [this] { stopAfterSentence_ = true; });
    connect(&reader_, &Reader::ChapterShown, this, [this] { userMoved_ = userMoved_ || !turningPage_; });
    // Queued: a book's place is scrolled to after its chapter is shown.
    connect(
        &reader_, &Reader::ChapterShown, this,
        [this] {
            if (std::exchange(userMoved_, false))
                ChapterShown();
        },
        Qt::QueuedConnection);
}

bool ReadAloud::TakeChapter()
{
    const Book* book = reader_.State().CurrentOrNull();
    if (!book || book->ChapterIndex < 0 || !reader_.PaneShowsChapter(book->ChapterIndex))
        return false;
    book_ = reader_.State().CurrentBook;
    chapter_ = book->ChapterIndex;
    sentences_ = CutSentences(view_.PaneText());
    title_ = book->Chapters[chapter_].Shown();
    return true;
}

qsizetype ReadAloud::FirstToSay(qsizetype offset) const
{
    return offset <= 0 && !title_.isEmpty() ? -1 : SentenceAt(sentences_, offset);
}

bool ReadAloud::Start(qsizetype offset)
{
    if (!engine_.Usable() || !TakeChapter())
        return false;
    current_ = FirstToSay(offset);
    active_ = true;
    paused_ = false;
    stopAfterSentence_ = false;
    stoppedAt_.reset();
    if (sleepMinutes_ > 0)
        sleepTimer_.start(sleepMinutes_ * 60 * 1000);
    emit Started();
    SayCurrent();
    return active_;
}

void ReadAloud::Stop()
{
    if (!active_)
        return;
    active_ = false;
    paused_ = false;
    sleepTimer_.stop();
    engine_.Stop();
    if (current_ < sentences_.size())
        stoppedAt_ = current_ < 0 ? Sentence{} : sentences_[current_];
    emit Stopped();
}

void ReadAloud::SetPaused(bool paused)
{
    if (!active_ || paused == paused_)
        return;
    paused_ = paused;
    if (paused)
        engine_.Pause();
    else
        engine_.Resume();
}

std::optional<qsizetype> ReadAloud::ResumeOffset() const
{
    const Book* book = reader_.State().CurrentOrNull();
    if (!stoppedAt_ || !book || reader_.State().CurrentBook != book_ || book->ChapterIndex != chapter_
        || !reader_.PaneShowsChapter(chapter_))
        return std::nullopt;
    return stoppedAt_->start;
}

void ReadAloud::StepSentence(int delta)
{
    if (!active_)
        return;
    const qsizetype first = title_.isEmpty() ? 0 : -1;
    current_ = std::clamp<qsizetype>(current_ + delta, first, std::max<qsizetype>(sentences_.size() - 1, first));
    paused_ = false;
    SayCurrent();
}

void ReadAloud::ReadFrom(qsizetype offset)
{
    if (!active_)
        return;
    if (!TakeChapter()) {
        Stop();  // the contents view, or no book: nothing to go on with
        return;
    }
    current_ = FirstToSay(offset);
    paused_ = false;
    SayCurrent();
}

void ReadAloud::ChapterShown()
{
    if (!active_)
        return;
    const Book* book = reader_.State().CurrentOrNull();
    if (book && reader_.State().CurrentBook == book_ && book->ChapterIndex == chapter_
        && reader_.PaneShowsChapter(chapter_)) {
        // The same chapter shown again (a skin, another script): offsets
        // mean the same, and the voice goes on where it is.
        sentences_ = CutSentences(view_.PaneText());
        return;
    }
    ReadFrom(view_.FirstVisibleOffset());
}

void ReadAloud::SleepAfter(int minutes)
{
    sleepMinutes_ = std::max(minutes, 0);
    if (sleepMinutes_ > 0 && active_)
        sleepTimer_.start(sleepMinutes_ * 60 * 1000);
    else
        sleepTimer_.stop();
}

void ReadAloud::SleepAtChapterEnd(bool on)
{
    sleepAtChapterEnd_ = on;
}

void ReadAloud::SayCurrent()
{
    if (current_ >= sentences_.size()) {
        NextChapter();
        return;
    }
    if (current_ < 0) {
        emit Saying(chapter_, 0, 0);
        reader_.NoteSpokenPlace(0);
        engine_.Say(title_);
        return;
    }
    const Sentence& sentence = sentences_[current_];
    emit Saying(chapter_, sentence.start, sentence.length);
    reader_.NoteSpokenPlace(sentence.start);
    engine_.Say(view_.PaneText().mid(sentence.start, sentence.length));
}

void ReadAloud::SayNext()
{
    if (!active_)
        return;
    if (stopAfterSentence_) {
        ++current_;
        Stop();
        return;
    }
    ++current_;
    SayCurrent();
}

void ReadAloud::NextChapter()
{
    // Chapters with nothing to say are passed over; the book's end stops.
    while (true) {
        const Book* book = reader_.State().CurrentOrNull();
        if (sleepAtChapterEnd_ || !book || book->ChapterIndex >= book->LastChapter()) {
            Stop();
            return;
        }
        turningPage_ = true;
        reader_.StepChapter(1);
        turningPage_ = false;
        if (!TakeChapter()) {
            Stop();
            return;
        }
        current_ = FirstToSay(0);
        if (current_ < sentences_.size())
            break;
    }
    SayCurrent();
}
