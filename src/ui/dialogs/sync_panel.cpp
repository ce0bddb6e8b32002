#include "ui/dialogs/sync_panel.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

SyncPanel::SyncPanel(const SyncAccount& account, const QString& lastResult, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("syncPanel"));
    serverEdit = new QLineEdit(account.folder.toString(), this);
    serverEdit->setObjectName(QStringLiteral("syncServerEdit"));
    serverEdit->setPlaceholderText(QStringLiteral("https://example.com/remote.php/dav/files/我/"));
    serverEdit->setMinimumWidth(serverEdit->fontMetrics().averageCharWidth() * 48);
    userEdit = new QLineEdit(account.user, this);
    userEdit->setObjectName(QStringLiteral("syncUserEdit"));
    passwordEdit = new QLineEdit(account.password, this);
    passwordEdit->setObjectName(QStringLiteral("syncPasswordEdit"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    plainHttpWarning = new QLabel(
        QStringLiteral("这是不加密的 HTTP 地址：密码和阅读记录会以明文经过网络。只在自己信任的局域网里这样用，"
                       "别处请用 https://。"),
        this);
    plainHttpWarning->setObjectName(QStringLiteral("plainHttpWarning"));
    plainHttpWarning->setWordWrap(true);
    plainHttpWarning->setStyleSheet(QStringLiteral("color: #b3261e;"));
    resultLabel = new QLabel(lastResult, this);
    resultLabel->setObjectName(QStringLiteral("syncResultLabel"));
    resultLabel->setWordWrap(true);
    syncNowButton = new QPushButton(QStringLiteral("立即同步"), this);
    syncNowButton->setObjectName(QStringLiteral("syncNowButton"));

    auto* about = new QLabel(QStringLiteral("书架、阅读位置、书签和编码经 WebDAV 服务器（Nextcloud、坚果云、NAS 等）"
                                            "在几台电脑间同步；书本身不上传。密码存放在系统钥匙环里。"),
                             this);
    about->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("WebDAV 文件夹"), serverEdit);
    form->addRow(QString(), plainHttpWarning);
    form->addRow(QStringLiteral("用户名"), userEdit);
    form->addRow(QStringLiteral("密码"), passwordEdit);
    form->addRow(syncNowButton, resultLabel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(form);
    layout->addStretch();

    ShowPlainHttpWarning();
    connect(serverEdit, &QLineEdit::textChanged, this, &SyncPanel::ShowPlainHttpWarning);
    connect(syncNowButton, &QPushButton::clicked, this, [this] { emit SyncNowRequested(Account()); });
}

SyncAccount SyncPanel::Account() const
{
    // A folder typed without its scheme is taken as HTTPS, never quietly as HTTP.
    QString folder = serverEdit->text().trimmed();
    if (!folder.isEmpty() && !folder.contains(QLatin1String("://")))
        folder.prepend(QLatin1String("https://"));
    return {QUrl(folder), userEdit->text().trimmed(), passwordEdit->text()};
}

void SyncPanel::ShowResult(const QString& text)
{
    resultLabel->setText(text);
}

void SyncPanel::AskForPassword(const QString& why)
{
    ShowResult(why);
    passwordEdit->clear();
    passwordEdit->setFocus();
}

void SyncPanel::ShowPlainHttpWarning()
{
    plainHttpWarning->setVisible(Account().folder.scheme() == QLatin1String("http"));
}

SyncAccount LoadSyncAccount(const QSettings& settings)
{
    return {settings.value(QStringLiteral("sync/folder")).toUrl(),
            settings.value(QStringLiteral("sync/user")).toString(),
            {}};
}

void SaveSyncAccount(QSettings& settings, const SyncAccount& account)
{
    settings.setValue(QStringLiteral("sync/folder"), account.folder.toString());
    settings.setValue(QStringLiteral("sync/user"), account.user);
}

QString KeyringAccount(const SyncAccount& account)
{
    return account.user + QLatin1Char('@') + account.folder.toString(QUrl::RemoveUserInfo);
}
