#pragma once

#include "core/speech/speech_engine.h"

// A voice the test speaks for: it notes what it is asked to say, and an
// utterance ends when the test says so (Finish).
class ScriptedSpeech : public SpeechEngine {
public:
    bool usable = true;
    QStringList said;
    int stops = 0;
    bool paused = false;
    double rate = 0;
    QString voice = QStringLiteral("普通话");

    bool Usable() const override { return usable; }
    QString Problem() const override
    {
        return usable ? QString()
                      : QStringLiteral("没有找到中文语音。请安装 speech-dispatcher 和 espeak-ng：sudo apt install "
                                       "speech-dispatcher espeak-ng");
    }
    void Say(const QString& text) override { said.append(text); }
    void Stop() override { ++stops; }
    void Pause() override { paused = true; }
    void Resume() override { paused = false; }
    void SetRate(double value) override { rate = value; }
    QStringList Voices() const override { return {voice}; }
    QString Voice() const override { return voice; }
    void SetVoice(const QString& name) override { voice = name; }

    void Finish() { emit Spoken(); }
};
