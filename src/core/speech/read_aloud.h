#pragma once

#include "core/speech/sentences.h"

#include <QObject>
#include <QTimer>

#include <optional>

class Reader;
class ReaderView;
class SpeechEngine;

// 朗读: says the chapter in the pane sentence by sentence, and goes on into
// the next chapters until it is stopped, the sleep timer runs out or the
// book ends. The Reader still owns the place: it is told where the voice is
// (so closing mid-chapter comes back to the sentence) and asked for the
// next chapter.
//
// When the user moves to another chapter or book while it speaks, the voice
// follows: it goes on from the first sentence on screen there (a chapter's
// start, a book's remembered place). A listener who steps a chapter wants
// to hear that chapter, not silence.
class ReadAloud : public QObject {
    Q_OBJECT
public:
    ReadAloud(Reader& reader, const ReaderView& view, SpeechEngine& engine, QObject* parent = nullptr);

    SpeechEngine& Engine() { return engine_; }
    // Starts at the sentence holding `offset` of the chapter shown (or the
    // next one). False, changing nothing, when the engine cannot speak or
    // the pane shows no chapter.
    bool Start(qsizetype offset);
    // Silence; the sentence being said is where Start() resumes.
    void Stop();
    void SetPaused(bool paused);
    bool Speaking() const { return active_; }
    bool Paused() const { return paused_; }
    // Where it stopped, while the pane shows that chapter of that book.
    std::optional<qsizetype> ResumeOffset() const;
    void StepSentence(int delta);
    // The user paged or moved: say on from the sentence at `offset` of the
    // chapter the pane shows now (stopping when it shows none).
    void ReadFrom(qsizetype offset);

    // Sleep timer: stop after `minutes` (0: never), or at a chapter's end.
    void SleepAfter(int minutes);
    void SleepAtChapterEnd(bool on);
    int SleepMinutes() const { return sleepMinutes_; }
    bool SleepsAtChapterEnd() const { return sleepAtChapterEnd_; }

signals:
    // The sentence being said: `length` characters at `offset` of chapter
    // `chapter` of the current book (the heading: nothing, at 0).
    void Saying(int chapter, qsizetype offset, qsizetype length);
    void Started();
    void Stopped();

private:
    void SayCurrent();
    void ChapterShown();
    qsizetype FirstToSay(qsizetype offset) const;
    void SayNext();
    bool TakeChapter();
    void NextChapter();

    Reader& reader_;
    const ReaderView& view_;
    SpeechEngine& engine_;
    QList<Sentence> sentences_;
    // The chapter's heading, which the pane does not show: said before its
    // first sentence when the voice starts at the chapter's top (current_
    // -1). Empty for an untitled chapter.
    QString title_;
    qsizetype current_ = 0;
    int book_ = 0;
    int chapter_ = -1;
    bool active_ = false;
    bool paused_ = false;
    bool turningPage_ = false;  // asking the Reader for the next chapter
    bool userMoved_ = false;    // the pane showed a chapter the voice did not ask for
    bool stopAfterSentence_ = false;
    std::optional<Sentence> stoppedAt_;
    int sleepMinutes_ = 0;
    bool sleepAtChapterEnd_ = false;
    QTimer sleepTimer_;
};
