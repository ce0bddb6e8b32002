// 同步: the library, places and bookmarks through a WebDAV folder the user
// already has. Rounds run on a thread of their own at start, every few
// minutes, at the close and on request; how they went is shown quietly at
// the right of the status line, and a refused password is asked for again.

#include "core/reading/reader.h"
#include "core/sync/sync_service.h"
#include "ui/dialogs/reading_settings_dialog.h"
#include "ui/dialogs/sync_panel.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/keyring.h"
#include "ui/platform/user_settings.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QSysInfo>
#include <QTimer>

namespace {

constexpr int kSyncEveryMs = 5 * 60 * 1000;
constexpr int kRoundTimeoutMs = 30 * 1000;
constexpr int kCloseTimeoutMs = 8 * 1000;  // the window is gone: the close waits no longer

}  // namespace

void MainWindow::BuildSync()
{
    syncService_ = new SyncService(this);
    keyring_ = new PasswordKeyring(this);
    syncLabel = new QLabel(this);
    syncLabel->setObjectName(QStringLiteral("syncLabel"));
    syncLabel->setContentsMargins(8, 0, 8, 0);
    statusBar()->addPermanentWidget(syncLabel);
    syncAction = new QAction(QStringLiteral("立即同步"), fileMenu);
    syncAction->setObjectName(QStringLiteral("syncAction"));
    fileMenu->insertAction(recentFilesMenu->menuAction(), syncAction);
    connect(syncAction, &QAction::triggered, this, [this] {
        if (syncAccount_.folder.isValid())
            SyncNow();
        else
            ShowSyncSettings();
    });
    syncTimer = new QTimer(this);
    syncTimer->setInterval(kSyncEveryMs);
    connect(syncTimer, &QTimer::timeout, this, &MainWindow::SyncNow);
    connect(syncService_, &SyncService::Finished, this, &MainWindow::SyncFinished);
    connect(keyring_, &PasswordKeyring::PasswordRead, this,
            [this](const QString& account, const QString& password, const QString& problem) {
                if (account != KeyringAccount(syncAccount_))
                    return;
                syncAccount_.password = password;
                if (!problem.isEmpty())
                    syncLabel->setText(problem);
                SyncNow();  // the round at start
            });
    connect(keyring_, &PasswordKeyring::PasswordWritten, this, [this](const QString&, const QString& problem) {
        if (!problem.isEmpty()) {
            syncLabel->setText(problem);
            if (syncPanel_)
                syncPanel_->ShowResult(problem);
        }
    });

    syncAccount_ = LoadSyncAccount(*UserSettings(folders_));
    if (syncAccount_.folder.isValid()) {
        syncTimer->start();
        keyring_->Read(KeyringAccount(syncAccount_));
    }
}

void MainWindow::SyncNow()
{
    if (!syncAccount_.folder.isValid())
        return;
    reader_->NoteReadingPlace();  // the round carries where the reader is now
    syncLabel->setText(QStringLiteral("正在同步…"));
    syncService_->Start({.libraryPath = reader_->Library().Path(),
                         .account = syncAccount_,
                         .rules = reader_->RuleChoicesForSync(),
                         .label = QSysInfo::machineHostName(),
                         .timeoutMs = endAfterSync_ ? kCloseTimeoutMs : kRoundTimeoutMs});
}

void MainWindow::SyncFinished(const SyncOutcome& outcome)
{
    if (endAfterSync_ && !syncService_->Running()) {
        QCoreApplication::exit(exitAfterSync_);
        return;
    }
    syncResult_ = outcome.message;
    if (reader_->FollowSync(outcome))
        syncResult_ = QStringLiteral("已接着另一台电脑读到的地方（%1）").arg(outcome.message);
    syncLabel->setText(syncResult_);
    syncLabel->setToolTip(outcome.Ok() ? QString() : QStringLiteral("下次同步时会再试"));
    if (syncPanel_)
        syncPanel_->ShowResult(syncResult_);
    if (outcome.fault == SyncFault::PasswordRefused && !passwordAsked_) {
        passwordAsked_ = true;
        ShowSyncSettings();
        syncPanel_->AskForPassword(outcome.message);
    }
}

void MainWindow::AddSyncPage(ReadingSettingsDialog* dialog)
{
    syncPanel_ = new SyncPanel(syncAccount_, syncResult_, dialog);
    dialog->AddPage(syncPanel_, QStringLiteral("同步"));
    connect(syncPanel_, &SyncPanel::SyncNowRequested, this, &MainWindow::UseSyncAccount);
    connect(dialog, &QDialog::accepted, this, [this, panel = syncPanel_] {
        if (panel && panel->Account() != syncAccount_)
            UseSyncAccount(panel->Account());
    });
}

void MainWindow::UseSyncAccount(const SyncAccount& account)
{
    const bool changed = account != syncAccount_;
    syncAccount_ = account;
    passwordAsked_ = false;
    SaveSyncAccount(*UserSettings(folders_), account);
    if (changed && account.folder.isValid())
        keyring_->Write(KeyringAccount(account), account.password);
    if (account.folder.isValid()) {
        syncTimer->start();
        SyncNow();
    } else {
        syncTimer->stop();
        syncLabel->clear();
    }
}

void MainWindow::ShowSyncSettings()
{
    if (!settingsDialog_)
        ShowReadingSettings();
    settingsDialog_->ShowPage(syncPanel_);
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
}

// The window is gone; the library's last changes go to the server before
// the program ends, or the wait gives up.
bool MainWindow::SyncBeforeEnd(int exitCode)
{
    if (!syncAccount_.folder.isValid() || endAfterSync_)
        return false;
    endAfterSync_ = true;
    exitAfterSync_ = exitCode;
    syncTimer->stop();
    SyncNow();
    QTimer::singleShot(2 * kCloseTimeoutMs, this, [exitCode] { QCoreApplication::exit(exitCode); });
    return true;
}
