// 自动滚屏: the page moves on a line at a time at the reader's pace, on into
// the next chapter at a chapter's end; any key or click on the page stops
// it. The pace is kept between starts.

#include "ui/main_window/main_window.h"
#include "ui/platform/user_settings.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>

namespace {

const QString kPaceKey = QStringLiteral("reading/autoScrollSeconds");

struct Pace {
    const char* name;
    const char16_t* caption;
    double secondsPerLine;
};
constexpr Pace kPaces[] = {
    {"slowScroll", u"慢", 6}, {"mediumScroll", u"中", 3.5}, {"fastScroll", u"快", 2}, {"fasterScroll", u"很快", 1}};

}  // namespace

void MainWindow::BuildAutoScroll()
{
    autoScrollTimer = new QTimer(this);
    autoScrollTimer->setObjectName(QStringLiteral("autoScrollTimer"));
    connect(autoScrollTimer, &QTimer::timeout, this, &MainWindow::ScrollOneLine);

    autoScrollAction = new QAction(QStringLiteral("自动滚屏"), viewMenu);
    autoScrollAction->setObjectName(QStringLiteral("autoScrollAction"));
    autoScrollAction->setCheckable(true);
    autoScrollAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    viewMenu->insertAction(encodingMenu->menuAction(), autoScrollAction);
    addAction(autoScrollAction);
    connect(autoScrollAction, &QAction::toggled, this, &MainWindow::SetAutoScroll);

    auto* paceMenu = new QMenu(QStringLiteral("滚屏速度"), viewMenu);
    paceMenu->setObjectName(QStringLiteral("autoScrollPaceMenu"));
    viewMenu->insertMenu(encodingMenu->menuAction(), paceMenu);
    auto* paces = new QActionGroup(paceMenu);
    const double saved = UserSettings(folders_)->value(kPaceKey, kPaces[1].secondsPerLine).toDouble();
    for (const Pace& pace : kPaces) {
        QAction* item = paceMenu->addAction(QString::fromUtf16(pace.caption));
        item->setObjectName(QString::fromLatin1(pace.name));
        item->setCheckable(true);
        paces->addAction(item);
        const double seconds = pace.secondsPerLine;
        connect(item, &QAction::triggered, this, [this, seconds] {
            autoScrollTimer->setInterval(static_cast<int>(seconds * 1000));
            UserSettings(folders_)->setValue(kPaceKey, seconds);
        });
        if (seconds == saved)
            item->setChecked(true);
    }
    autoScrollTimer->setInterval(static_cast<int>(saved * 1000));
}

void MainWindow::SetAutoScroll(bool on)
{
    autoScrollAction->setChecked(on);
    if (on)
        autoScrollTimer->start();
    else
        autoScrollTimer->stop();
}

void MainWindow::ScrollOneLine()
{
    if (readingPane->ScrollLines(1))
        return;
    const Book* book = state_.CurrentOrNull();
    if (book && book->ChapterIndex < book->LastChapter())
        NextChapter();
    else
        SetAutoScroll(false);  // the end of the book
}
