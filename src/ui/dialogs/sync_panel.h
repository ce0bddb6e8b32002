#pragma once

#include "core/sync/sync_round.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;

// 设置 → 同步: the WebDAV folder the library is synced through, its user and
// password, 立即同步, and how the last sync went. A folder over plain HTTP
// is warned about: the password and the reading would cross the network
// unencrypted.
class SyncPanel : public QWidget {
    Q_OBJECT
public:
    SyncPanel(const SyncAccount& account, const QString& lastResult, QWidget* parent = nullptr);

    SyncAccount Account() const;
    void ShowResult(const QString& text);
    // The server refused the password: says so and waits for a new one.
    void AskForPassword(const QString& why);

signals:
    void SyncNowRequested(const SyncAccount& account);

private:
    void ShowPlainHttpWarning();

    QLineEdit* serverEdit;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QLabel* plainHttpWarning;
    QLabel* resultLabel;
    QPushButton* syncNowButton;
};

// The folder and user in reader.conf; the password is never written there.
SyncAccount LoadSyncAccount(const QSettings& settings);
void SaveSyncAccount(QSettings& settings, const SyncAccount& account);
// What names the password in the keyring: the user at the folder.
QString KeyringAccount(const SyncAccount& account);
