#include "ui/widgets/read_aloud_bar.h"

#include "core/speech/read_aloud.h"
#include "core/speech/speech_engine.h"

#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

namespace {

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    return button;
}

struct SleepChoice {
    const char16_t* caption;
    int minutes;  // -1: at the chapter's end
};
constexpr SleepChoice kSleepChoices[] = {
    {u"不定时", 0}, {u"15 分钟", 15}, {u"30 分钟", 30}, {u"60 分钟", 60}, {u"本章结束", -1}};

}  // namespace

ReadAloudBar::ReadAloudBar(ReadAloud& reading, QWidget* over) : QFrame(over), reading_(reading)
{
    setObjectName(QStringLiteral("readAloudBar"));
    setFrameShape(QFrame::StyledPanel);
    // The page's own colours and large font are for the text, not for
    // the control's captions.
    setPalette(QApplication::palette());
    setFont(QApplication::font());
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);

    auto* previous = MakeButton(this, "previousSentenceButton", QStringLiteral("上句"), QStringLiteral("上一句"));
    playButton = MakeButton(this, "playPauseButton", QStringLiteral("▶"), QStringLiteral("朗读"));
    auto* stop = MakeButton(this, "stopReadingButton", QStringLiteral("■"), QStringLiteral("停止"));
    auto* next = MakeButton(this, "nextSentenceButton", QStringLiteral("下句"), QStringLiteral("下一句"));
    connect(previous, &QToolButton::clicked, this, [this] { reading_.StepSentence(-1); });
    connect(next, &QToolButton::clicked, this, [this] { reading_.StepSentence(1); });
    connect(stop, &QToolButton::clicked, this, [this] { reading_.Stop(); });
    connect(playButton, &QToolButton::clicked, this, [this] {
        if (reading_.Speaking())
            reading_.SetPaused(!reading_.Paused());
        else
            emit StartWanted();
        ShowState();
    });

    paceSlider = new QSlider(Qt::Horizontal, this);
    paceSlider->setObjectName(QStringLiteral("paceSlider"));
    paceSlider->setRange(-10, 10);
    paceSlider->setFixedWidth(90);
    paceSlider->setFocusPolicy(Qt::NoFocus);
    paceSlider->setToolTip(QStringLiteral("语速"));
    connect(paceSlider, &QSlider::valueChanged, this, [this](int pace) {
        reading_.Engine().SetRate(pace / 10.0);
        emit PaceChanged(pace);
    });

    auto* voice = MakeButton(this, "voiceButton", QStringLiteral("语音"), QStringLiteral("选择语音"));
    voiceMenu = new QMenu(voice);
    voiceMenu->setObjectName(QStringLiteral("voiceMenu"));
    voice->setMenu(voiceMenu);
    voice->setPopupMode(QToolButton::InstantPopup);
    connect(voiceMenu, &QMenu::aboutToShow, this, &ReadAloudBar::FillVoices);

    auto* sleep = MakeButton(this, "sleepTimerButton", QStringLiteral("定时"), QStringLiteral("定时停止"));
    auto* sleepMenu = new QMenu(sleep);
    sleepMenu->setObjectName(QStringLiteral("sleepMenu"));
    sleep->setMenu(sleepMenu);
    sleep->setPopupMode(QToolButton::InstantPopup);
    auto* sleepChoices = new QActionGroup(sleepMenu);
    for (const SleepChoice& choice : kSleepChoices) {
        QAction* item = sleepMenu->addAction(QString::fromUtf16(choice.caption));
        item->setCheckable(true);
        item->setChecked(choice.minutes == 0);
        sleepChoices->addAction(item);
        const int minutes = choice.minutes;
        connect(item, &QAction::triggered, this, [this, minutes] {
            reading_.SleepAtChapterEnd(minutes < 0);
            reading_.SleepAfter(std::max(minutes, 0));
        });
    }

    for (QWidget* part : {static_cast<QWidget*>(previous), static_cast<QWidget*>(playButton),
                          static_cast<QWidget*>(stop), static_cast<QWidget*>(next), static_cast<QWidget*>(paceSlider),
                          static_cast<QWidget*>(voice), static_cast<QWidget*>(sleep)})
        row->addWidget(part);

    connect(&reading_, &ReadAloud::Started, this, &ReadAloudBar::ShowState);
    connect(&reading_, &ReadAloud::Stopped, this, &ReadAloudBar::ShowState);
    over->installEventFilter(this);
    adjustSize();
    Place();
}

int ReadAloudBar::Pace() const
{
    return paceSlider->value();
}

void ReadAloudBar::SetPace(int pace)
{
    paceSlider->setValue(pace);
    reading_.Engine().SetRate(pace / 10.0);
}

bool ReadAloudBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        Place();
    return QFrame::eventFilter(watched, event);
}

void ReadAloudBar::ShowState()
{
    const bool playing = reading_.Speaking() && !reading_.Paused();
    playButton->setText(playing ? QStringLiteral("❚❚") : QStringLiteral("▶"));
    playButton->setToolTip(playing ? QStringLiteral("暂停") : QStringLiteral("朗读"));
}

void ReadAloudBar::FillVoices()
{
    voiceMenu->clear();
    SpeechEngine& engine = reading_.Engine();
    const QString chosen = engine.Voice();
    for (const QString& name : engine.Voices()) {
        QAction* item = voiceMenu->addAction(name);
        item->setCheckable(true);
        item->setChecked(name == chosen);
        connect(item, &QAction::triggered, this, [&engine, name] { engine.SetVoice(name); });
    }
}

// The bottom right corner, clear of the scroll bar.
void ReadAloudBar::Place()
{
    const auto* over = parentWidget();
    const QSize size = sizeHint();
    resize(size);
    move(std::max(0, over->width() - size.width() - 24), std::max(0, over->height() - size.height() - 4));
}
