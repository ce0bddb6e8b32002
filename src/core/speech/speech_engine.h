#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// A voice that says one utterance at a time: the platform's speech in the
// program, a scripted one in the tests.
class SpeechEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether it can speak Chinese; when not, Problem() says why and how
    // to install what is missing.
    virtual bool Usable() const = 0;
    virtual QString Problem() const = 0;
    // Starts saying `text`, replacing whatever was being said. Spoken()
    // follows when it has been said to its end.
    virtual void Say(const QString& text) = 0;
    // Silence at once; no Spoken() for what was cut short.
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // -1 (slowest) to 1 (fastest), 0 the voice's own pace.
    virtual void SetRate(double rate) = 0;
    virtual QStringList Voices() const = 0;
    virtual QString Voice() const = 0;
    virtual void SetVoice(const QString& name) = 0;

signals:
    void Spoken();
    // It cannot go on speaking (the audio output went away).
    void Failed(const QString& why);
};
