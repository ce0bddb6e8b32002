// 阅读进度: a status line under the page with the chapter, how far into the
// book the page is, and about how long the rest of the chapter takes at
// the reader's own pace. Shown or not as last time.

#include "core/reading/reading_progress.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/user_settings.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>

namespace {

const QString kProgressKey = QStringLiteral("reading/progress");

}  // namespace

void MainWindow::BuildProgressLine()
{
    progressLabel = new QLabel(this);
    progressLabel->setObjectName(QStringLiteral("progressLabel"));
    progressLabel->setContentsMargins(8, 0, 8, 0);
    statusBar()->addWidget(progressLabel, 1);
    statusBar()->setSizeGripEnabled(false);
    readingClock_.start();

    progressAction = new QAction(QStringLiteral("阅读进度"), viewMenu);
    progressAction->setObjectName(QStringLiteral("progressAction"));
    progressAction->setCheckable(true);
    viewMenu->insertAction(encodingMenu->menuAction(), progressAction);
    connect(progressAction, &QAction::toggled, this, [this](bool on) {
        UserSettings(folders_)->setValue(kProgressKey, on);
        statusBar()->setVisible(on);
        ShowProgress();
    });
    progressAction->setChecked(UserSettings(folders_)->value(kProgressKey, false).toBool());
    statusBar()->setVisible(progressAction->isChecked());
    connect(readingPane->verticalScrollBar(), &QScrollBar::valueChanged, this, &MainWindow::ShowProgress);
    connect(readingPane, &ReadingPane::TextChanged, this, &MainWindow::ShowProgress);
}

void MainWindow::ShowProgress()
{
    const Book* book = state_.CurrentOrNull();
    if (!book || !progressAction || !progressAction->isChecked()) {
        if (progressLabel)
            progressLabel->clear();
        return;
    }
    const bool inChapter = book->ChapterIndex >= 0 && book->ChapterIndex <= book->LastChapter()
        && readingPane->Shows(book->ChapterTexts[static_cast<size_t>(book->ChapterIndex)]);
    const ReadingPlace place =
        inChapter ? ReadingPlace{book->ChapterIndex, readingPane->FirstVisibleOffset()} : ReadingPlace{};
    if (inChapter)
        readingPace_.Note(place, static_cast<double>(readingClock_.elapsed()) / 1000);
    progressLabel->setText(ProgressText(*book, place, readingPace_));
}
