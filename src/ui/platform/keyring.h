#pragma once

#include <QHash>
#include <QObject>
#include <QString>

// The sync password in the desktop's keyring (the Secret Service or KWallet,
// through qtkeychain), never in a file of ours. Without a keyring it is kept
// in memory for this run only, and the answer says so.
class PasswordKeyring : public QObject {
    Q_OBJECT
public:
    explicit PasswordKeyring(QObject* parent = nullptr) : QObject(parent) {}

    // Answer with PasswordRead; `account` names the server and user.
    void Read(const QString& account);
    // Answer with PasswordWritten.
    void Write(const QString& account, const QString& password);

signals:
    // `problem` is empty when the keyring answered; a missing password is
    // an empty one.
    void PasswordRead(const QString& account, const QString& password, const QString& problem);
    void PasswordWritten(const QString& account, const QString& problem);

private:
    QHash<QString, QString> thisRunOnly_;  // what no keyring could keep
};
