#include "core/library/library_opening.h"

#include "core/library/library_schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Another program holding the file for a moment (a second copy of the
// reader) is waited for rather than failed.
const QString kBusyTimeout = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");

enum class Found { Empty, Ours, Newer, Foreign, Damaged, Unreadable };

struct Inspection {
    Found found = Found::Unreadable;
    int version = 0;
    QString error;
};

bool IsDamage(const QSqlError& error)
{
    // SQLITE_CORRUPT and SQLITE_NOTADB, extended codes included.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 11 || code == 26;
}

Inspection Inspect(QSqlDatabase& db)
{
    Inspection seen;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check"))) {
        seen.found = IsDamage(query.lastError()) ? Found::Damaged : Found::Unreadable;
        seen.error = LibraryErrorText(query.lastError());
        return seen;
    }
    if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
        seen.found = Found::Damaged;
        return seen;
    }
    if (!query.exec(QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id),"
                                   " (SELECT user_version FROM pragma_user_version),"
                                   " (SELECT count(*) FROM sqlite_master)"))
        || !query.next()) {
        seen.found = IsDamage(query.lastError()) ? Found::Damaged : Found::Unreadable;
        seen.error = LibraryErrorText(query.lastError());
        return seen;
    }
    const int applicationId = query.value(0).toInt();
    seen.version = query.value(1).toInt();
    const int objects = query.value(2).toInt();
    if (applicationId == 0 && seen.version == 0 && objects == 0)
        seen.found = Found::Empty;
    else if (applicationId != kLibraryApplicationId)
        seen.found = Found::Foreign;
    else if (seen.version > kLibrarySchemaVersion)
        seen.found = Found::Newer;
    else
        seen.found = Found::Ours;
    return seen;
}

// Renames the file and its log to the first free "<path>.broken",
// "<path>.broken.2", ...; returns the new name, or the empty text.
QString MoveAside(const QString& path)
{
    QString aside = path + QStringLiteral(".broken");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + QStringLiteral("-wal")); ++n) {
        if (n > 1000)
            return {};
        aside = path + QStringLiteral(".broken.%1").arg(n);
    }
    if (QFileInfo::exists(path) && !QFile::rename(path, aside))
        return {};
    // The log belongs to the moved file: it keeps what the file may still
    // need, so it goes with it.
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    }
    return aside;
}

// A sync on every commit: a change the reader was told is written survives
// a power cut too, not only a crash; changes come one book at a time, so
// the cost is a few milliseconds per change.
QString Prepare(QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next())
        return LibraryErrorText(query.lastError());
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("无法使用预写日志（journal_mode=%1）").arg(query.value(0).toString());
    for (const char* pragma : {"PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON"}) {
        QString failed = ExecLibrarySql(db, QString::fromLatin1(pragma));
        if (!failed.isEmpty())
            return failed;
    }
    return {};
}

}  // namespace

LibraryOpening OpenLibraryDatabase(QSqlDatabase& db, const QString& path)
{
    LibraryOpening opening;
    if (!db.isValid()) {
        opening.error = QStringLiteral("没有 Qt 的 SQLite 驱动（libqt6sql6-sqlite），书架无法打开");
        return opening;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    db.setDatabaseName(path);
    db.setConnectOptions(kBusyTimeout);
    if (!db.open()) {
        opening.error = LibraryErrorText(db.lastError());
        return opening;
    }
    Inspection seen = Inspect(db);
    if (seen.found == Found::Damaged || seen.found == Found::Foreign) {
        db.close();
        opening.movedAside = MoveAside(path);
        if (opening.movedAside.isEmpty()) {
            opening.error = QStringLiteral("书架文件已损坏，且无法移到一旁：%1").arg(path);
            return opening;
        }
        if (!db.open()) {
            opening.error = LibraryErrorText(db.lastError());
            return opening;
        }
        seen = Inspect(db);
    }
    switch (seen.found) {
    case Found::Newer:
        db.close();
        db.setConnectOptions(kBusyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        opening.open = db.open();
        opening.readOnly = true;
        opening.error = opening.open
            ? QStringLiteral("书架由较新版本的阅读器写成（版本 %1），此版本只读不写").arg(seen.version)
            : LibraryErrorText(db.lastError());
        return opening;
    case Found::Empty:
    case Found::Ours: break;
    default:
        opening.error = seen.error.isEmpty() ? QStringLiteral("书架文件无法读取") : seen.error;
        db.close();
        return opening;
    }
    opening.error = Prepare(db);
    if (opening.error.isEmpty())
        opening.error = MigrateLibrary(db, seen.version);
    opening.open = opening.error.isEmpty();
    if (!opening.open)
        db.close();
    return opening;
}
