#pragma once

#include "core/speech/speech_engine.h"

#include <QList>
#include <QVoice>

class QTextToSpeech;

// The platform's speech (Qt TextToSpeech; speech-dispatcher on Linux) with
// a Chinese voice. Qt 6.4 reports no progress within an utterance, so it is
// given one sentence at a time and its return to Ready ends each.
class PlatformSpeech : public SpeechEngine {
    Q_OBJECT
public:
    explicit PlatformSpeech(QObject* parent = nullptr);

    bool Usable() const override { return problem_.isEmpty(); }
    QString Problem() const override { return problem_; }
    void Say(const QString& text) override;
    void Stop() override;
    void Pause() override;
    void Resume() override;
    void SetRate(double rate) override;
    QStringList Voices() const override;
    QString Voice() const override;
    void SetVoice(const QString& name) override;

private:
    void StateChanged(int state);

    QTextToSpeech* speech_ = nullptr;
    QList<QVoice> voices_;
    QString problem_;
    bool saying_ = false;  // an utterance of ours is under way
};

// What the user is told when there is no Chinese voice, and how to get one.
QString NoChineseVoiceText();
