#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QUuid>
#include <QVariant>

// The first value `sql` gives on the database at `path`, read through a
// connection of its own (bypassing the store): what another program would
// find in the file. Empty when the statement fails.
inline QString PeekSqlite(const QString& path, const QString& sql)
{
    const QString name = QUuid::createUuid().toString();
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                value = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}
