#include "ui/platform/keyring.h"

#include <QDBusConnection>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("txtreader-sync");

QString Problem(const QKeychain::Job& job)
{
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return {};
    return QStringLiteral("系统钥匙环不可用（%1），密码只在本次运行中记住").arg(job.errorString());
}

// Without a session bus no keyring can answer; asking would only wait
// for D-Bus to time out.
QString NoKeyring()
{
    if (QDBusConnection::sessionBus().isConnected())
        return {};
    return QStringLiteral("没有系统钥匙环（无桌面会话），密码只在本次运行中记住");
}

}  // namespace

void PasswordKeyring::Read(const QString& account)
{
    if (const QString problem = NoKeyring(); !problem.isEmpty()) {
        QTimer::singleShot(
            0, this, [this, account, problem] { emit PasswordRead(account, thisRunOnly_.value(account), problem); });
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(kService, this);
    job->setKey(account);
    job->setInsecureFallback(false);
    connect(job, &QKeychain::Job::finished, this, [this, account](QKeychain::Job* done) {
        const auto* read = static_cast<QKeychain::ReadPasswordJob*>(done);
        const QString problem = Problem(*read);
        QString password = problem.isEmpty() ? read->textData() : QString();
        if (password.isEmpty())
            password = thisRunOnly_.value(account);
        emit PasswordRead(account, password, problem);
    });
    job->start();
}

void PasswordKeyring::Write(const QString& account, const QString& password)
{
    if (const QString problem = NoKeyring(); !problem.isEmpty()) {
        thisRunOnly_.insert(account, password);
        QTimer::singleShot(0, this, [this, account, problem] { emit PasswordWritten(account, problem); });
        return;
    }
    auto* job = new QKeychain::WritePasswordJob(kService, this);
    job->setKey(account);
    job->setInsecureFallback(false);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [this, account, password](QKeychain::Job* done) {
        const QString problem = Problem(*done);
        if (problem.isEmpty())
            thisRunOnly_.remove(account);
        else
            thisRunOnly_.insert(account, password);
        emit PasswordWritten(account, problem);
    });
    job->start();
}
