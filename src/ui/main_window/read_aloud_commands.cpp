// 朗读: the platform's voice reads the chapter from the first sentence on
// screen (or the selection) and on through the next chapters. The sentence
// being said is selected and kept in the upper part of the page, clear of
// the control floating over its bottom edge. Paging keys move the voice to
// the page shown; 自动滚屏 and 朗读 exclude each other.

#include "core/reading/reader.h"
#include "core/speech/read_aloud.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/platform_speech.h"
#include "ui/platform/prompter.h"
#include "ui/platform/user_settings.h"
#include "ui/widgets/read_aloud_bar.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace {

const QString kPaceKey = QStringLiteral("reading/readAloudPace");

}  // namespace

void MainWindow::BuildReadAloud()
{
    readAloudAction = new QAction(QStringLiteral("朗读"), viewMenu);
    readAloudAction->setObjectName(QStringLiteral("readAloudAction"));
    readAloudAction->setCheckable(true);
    readAloudAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    viewMenu->insertAction(encodingMenu->menuAction(), readAloudAction);
    addAction(readAloudAction);
    connect(readAloudAction, &QAction::toggled, this, &MainWindow::SetReadAloud);
    connect(autoScrollAction, &QAction::toggled, this, [this](bool on) {
        if (on)
            readAloudAction->setChecked(false);
    });
}

void MainWindow::UseSpeechEngine(SpeechEngine* engine)
{
    speech_ = engine;
}

bool MainWindow::MakeReadAloud()
{
    if (readAloud_)
        return true;
    if (!speech_)
        speech_ = new PlatformSpeech(this);
    if (!speech_->Usable())
        return false;
    readAloud_ = new ReadAloud(*reader_, *this, *speech_, this);
    readAloud_->setObjectName(QStringLiteral("readAloud"));
    connect(readAloud_, &ReadAloud::Saying, this, &MainWindow::ShowSpokenSentence);
    connect(readAloud_, &ReadAloud::Stopped, this, [this] {
        const QSignalBlocker quiet(readAloudAction);
        readAloudAction->setChecked(false);
        readAloudBar->hide();
    });
    readAloudBar = new ReadAloudBar(*readAloud_, readingPane);
    readAloudBar->hide();
    readAloudBar->SetPace(UserSettings(folders_)->value(kPaceKey, 0).toInt());
    connect(readAloudBar, &ReadAloudBar::PaceChanged, this,
            [this](int pace) { UserSettings(folders_)->setValue(kPaceKey, pace); });
    return true;
}

void MainWindow::SetReadAloud(bool on)
{
    if (!on) {
        if (readAloud_)
            readAloud_->Stop();
        return;
    }
    if (!MakeReadAloud()) {
        const QSignalBlocker quiet(readAloudAction);
        readAloudAction->setChecked(false);
        prompter_.Message(speech_->Problem(), QStringLiteral("朗读"), Prompter::Icon::Exclamation);
        return;
    }
    SetAutoScroll(false);
    // The selection, else the sentence it stopped on while that is on
    // screen, else the first sentence on screen.
    const qsizetype first = readingPane->FirstVisibleOffset();
    qsizetype from = first;
    if (readingPane->SelLength() > 0) {
        from = readingPane->SelStart();
    } else if (const auto resume = readAloud_->ResumeOffset();
               resume && *resume >= first && *resume < first + readingPane->CharactersShown()) {
        from = *resume;
    }
    if (!readAloud_->Start(from)) {
        const QSignalBlocker quiet(readAloudAction);
        readAloudAction->setChecked(false);
        return;
    }
    readAloudBar->show();
    readAloudBar->raise();
}

void MainWindow::ShowSpokenSentence(int chapter, qsizetype offset, qsizetype length)
{
    (void)chapter;  // always the chapter shown
    SelectInPane(offset, length);
    const qsizetype first = readingPane->FirstVisibleOffset();
    if (offset < first || offset + length > first + readingPane->CharactersShown() * 3 / 4)
        readingPane->ScrollToOffset(offset);
}

void MainWindow::ReadAloudFollowsPage()
{
    if (readAloud_ && readAloud_->Speaking())
        readAloud_->ReadFrom(readingPane->FirstVisibleOffset());
}
