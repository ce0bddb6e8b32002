#include "ui/platform/platform_speech.h"

#include <QTextToSpeech>

namespace {

const QString kInstall =
    QStringLiteral("请安装 speech-dispatcher 和 espeak-ng：sudo apt install speech-dispatcher espeak-ng");

bool IsChinese(const QLocale& locale)
{
    return locale.language() == QLocale::Chinese;
}

// speech-dispatcher names espeak-ng's languages "cmn", "yue", "hak", which
// Qt 6.4 does not know as Chinese: their voices sit under the C locale and
// say what they are only in their names. Mandarin comes first; espeak-ng's
// dozens of variants ("…+Adam") are left out of the choice.
QList<QVoice> ChineseVoicesByName(const QList<QVoice>& voices)
{
    QList<QVoice> mandarin;
    QList<QVoice> other;
    for (const QVoice& voice : voices) {
        const QString name = voice.name();
        if (name.contains(u'+'))
            continue;
        if (name.contains(QStringLiteral("Mandarin")) || name.contains(QStringLiteral("普通话")))
            mandarin.append(voice);
        else if (name.contains(QStringLiteral("Chinese")) || name.contains(QStringLiteral("中文")))
            other.append(voice);
    }
    return mandarin + other;
}

}  // namespace

QString NoChineseVoiceText()
{
    return QStringLiteral("没有找到中文语音。") + kInstall;
}

PlatformSpeech::PlatformSpeech(QObject* parent) : SpeechEngine(parent)
{
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty()) {
        problem_ = QStringLiteral("没有找到语音引擎。") + kInstall;
        return;
    }
    // speech-dispatcher first: it is the engine that has espeak-ng's Mandarin.
    const QString engine = engines.contains(QStringLiteral("speechd")) ? QStringLiteral("speechd") : engines.first();
    speech_ = new QTextToSpeech(engine, this);
    if (speech_->state() == QTextToSpeech::Error) {
        problem_ = QStringLiteral("语音引擎不能启动（%1）。").arg(speech_->errorString()) + kInstall;
        return;
    }
    const QList<QLocale> locales = speech_->availableLocales();
    for (const QLocale& locale : locales) {
        if (!IsChinese(locale))
            continue;
        speech_->setLocale(locale);
        voices_ = speech_->availableVoices();
        break;
    }
    for (const QLocale& locale : locales) {
        if (!voices_.isEmpty())
            break;
        if (locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage)
            continue;
        speech_->setLocale(locale);
        voices_ = ChineseVoicesByName(speech_->availableVoices());
    }
    if (voices_.isEmpty()) {
        problem_ = NoChineseVoiceText();
        return;
    }
    speech_->setVoice(voices_.first());
    connect(speech_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) { StateChanged(state); });
}

void PlatformSpeech::Say(const QString& text)
{
    saying_ = true;
    speech_->say(text);
}

void PlatformSpeech::Stop()
{
    saying_ = false;
    speech_->stop();
}

void PlatformSpeech::Pause()
{
    speech_->pause();
}

void PlatformSpeech::Resume()
{
    speech_->resume();
}

void PlatformSpeech::SetRate(double rate)
{
    if (speech_)
        speech_->setRate(rate);
}

QStringList PlatformSpeech::Voices() const
{
    QStringList names;
    for (const QVoice& voice : voices_)
        names.append(voice.name());
    return names;
}

QString PlatformSpeech::Voice() const
{
    return speech_ ? speech_->voice().name() : QString();
}

void PlatformSpeech::SetVoice(const QString& name)
{
    for (const QVoice& voice : voices_)
        if (voice.name() == name)
            speech_->setVoice(voice);
}

void PlatformSpeech::StateChanged(int state)
{
    if (state == QTextToSpeech::Ready && saying_) {
        saying_ = false;
        emit Spoken();
    } else if (state == QTextToSpeech::Error && saying_) {
        saying_ = false;
        emit Failed(speech_->errorString());
    }
}
