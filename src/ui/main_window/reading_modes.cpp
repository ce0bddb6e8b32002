// The conventional shortcuts, check marks on the skin and font size in use,
// full screen (F11), the focus mode that leaves only the text (Esc leaves
// it), and the mouse pointer hidden while the reader reads.

#include "core/reading/reader.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/user_settings.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <cmath>

namespace {

constexpr int kPointerHidesAfterMs = 3000;
const QString kNightModeKey = QStringLiteral("reading/night");

}  // namespace

void MainWindow::BuildReadingModes()
{
    openAction->setShortcut(QKeySequence::Open);
    findAction->setShortcut(QKeySequence::Find);

    findNextAction = new QAction(QStringLiteral("查找下一个"), viewMenu);
    findNextAction->setObjectName(QStringLiteral("findNextAction"));
    findNextAction->setShortcut(QKeySequence::FindNext);
    viewMenu->insertAction(jumpAction, findNextAction);
    connect(findNextAction, &QAction::triggered, this, &MainWindow::FindNext);
    findPreviousAction = new QAction(QStringLiteral("查找上一个"), viewMenu);
    findPreviousAction->setObjectName(QStringLiteral("findPreviousAction"));
    findPreviousAction->setShortcut(QKeySequence::FindPrevious);
    viewMenu->insertAction(jumpAction, findPreviousAction);
    connect(findPreviousAction, &QAction::triggered, this, &MainWindow::FindPrevious);

    // Ctrl+Q closes as the window's close box does, keeping the place;
    // 退出 itself ends without writing anything, as it always has.
    closeAction = new QAction(QStringLiteral("关闭"), this);
    closeAction->setObjectName(QStringLiteral("closeAction"));
    closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    closeAction->setShortcutContext(Qt::ApplicationShortcut);
    addAction(closeAction);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);

    // Before 文字编码, which stays the menu's last item.
    fullScreenAction = new QAction(QStringLiteral("全屏"), viewMenu);
    viewMenu->insertAction(encodingMenu->menuAction(), fullScreenAction);
    fullScreenAction->setObjectName(QStringLiteral("fullScreenAction"));
    fullScreenAction->setCheckable(true);
    fullScreenAction->setShortcut(QKeySequence::FullScreen);
    connect(fullScreenAction, &QAction::toggled, this, &MainWindow::SetFullScreen);
    focusModeAction = new QAction(QStringLiteral("专注阅读"), viewMenu);
    viewMenu->insertAction(encodingMenu->menuAction(), focusModeAction);
    focusModeAction->setObjectName(QStringLiteral("focusModeAction"));
    focusModeAction->setCheckable(true);
    focusModeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(focusModeAction, &QAction::toggled, this, &MainWindow::SetFocusMode);
    // Their keys work with the menu bar hidden too.
    addActions({fullScreenAction, focusModeAction, findAction, findNextAction, findPreviousAction, openAction});

    nightModeAction = new QAction(QStringLiteral("夜间模式"), viewMenu);
    viewMenu->insertAction(encodingMenu->menuAction(), nightModeAction);
    nightModeAction->setObjectName(QStringLiteral("nightModeAction"));
    nightModeAction->setCheckable(true);
    nightModeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    addAction(nightModeAction);
    // A skin chosen meanwhile may have ended night mode: the key turns it
    // over from what it is, not from the check mark.
    connect(nightModeAction, &QAction::triggered, this, [this] { SetNightMode(!reader_->NightMode()); });

    // The font size and skin in use carry a check mark.
    auto* sizes = new QActionGroup(fontMenu);
    for (QAction* size : {extraLargeFont, largeFont, mediumFont, smallFont, extraSmallFont}) {
        size->setCheckable(true);
        sizes->addAction(size);
    }
    connect(fontMenu, &QMenu::aboutToShow, this, [this] {
        const double points = readingPane->font().pointSizeF();
        const std::pair<QAction*, double> sizes[] = {
            {extraLargeFont, 18}, {largeFont, 16}, {mediumFont, 14}, {smallFont, 12}, {extraSmallFont, 10}};
        for (const auto& [size, value] : sizes)
            size->setChecked(std::abs(points - value) < 0.01);
    });
    connect(viewMenu, &QMenu::aboutToShow, this, [this] { nightModeAction->setChecked(reader_->NightMode()); });
    connect(skinMenu, &QMenu::aboutToShow, this, [this] {
        for (int i = 1; i < skinItems->Count(); ++i) {
            QAction* skin = skinItems->Action(i);
            skin->setCheckable(true);
            skin->setChecked(i == state_.CurrentSkin);
        }
    });

    pointerTimer = new QTimer(this);
    pointerTimer->setObjectName(QStringLiteral("pointerTimer"));
    pointerTimer->setSingleShot(true);
    pointerTimer->setInterval(kPointerHidesAfterMs);
    connect(pointerTimer, &QTimer::timeout, this, [this] { readingPane->viewport()->setCursor(Qt::BlankCursor); });
    readingPane->viewport()->setMouseTracking(true);
    readingPane->viewport()->installEventFilter(this);
}

void MainWindow::FindNext()
{
    if (findDialog_ && !findDialog_->FindText().text().isEmpty())
        findDialog_->Find();
    else
        ShowFindDialog();
}

void MainWindow::FindPrevious()
{
    if (findDialog_ && !findDialog_->FindText().text().isEmpty())
        findDialog_->FindPrevious();
    else
        ShowFindDialog();
}

void MainWindow::SetFullScreen(bool on)
{
    fullScreenAction->setChecked(on);
    setWindowState(on ? windowState() | Qt::WindowFullScreen : windowState() & ~Qt::WindowFullScreen);
    NotePointerMove();
}

void MainWindow::SetFocusMode(bool on)
{
    focusModeAction->setChecked(on);
    menuBar()->setVisible(!on);
    LayOut();
    NotePointerMove();
}

bool MainWindow::InFocusMode() const
{
    return focusModeAction && focusModeAction->isChecked();
}

// In full screen and the focus mode the pointer goes once the mouse rests
// on the page, and comes back when it moves.
void MainWindow::NotePointerMove()
{
    readingPane->viewport()->unsetCursor();
    if (InFocusMode() || (windowState() & Qt::WindowFullScreen))
        pointerTimer->start();
    else
        pointerTimer->stop();
}

// Night mode is the reader's own, kept for the next start.
void MainWindow::SetNightMode(bool on)
{
    if (!reader_->SetNightMode(on)) {
        prompter_.Message(QStringLiteral("找不到夜间模式用的皮肤「%1」。").arg(QString::fromUtf16(kNightSkinName)),
                          QStringLiteral("提示"), Prompter::Icon::Information);
    }
    nightModeAction->setChecked(reader_->NightMode());
    UserSettings(folders_)->setValue(kNightModeKey, reader_->NightMode());
}

void MainWindow::RestoreNightMode()
{
    if (UserSettings(folders_)->value(kNightModeKey).toBool())
        reader_->SetNightMode(true);
    nightModeAction->setChecked(reader_->NightMode());
}
