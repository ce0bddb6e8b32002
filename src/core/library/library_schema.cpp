#include "core/library/library_schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <array>

namespace {

// Runs the statements in order, up to the first that fails; returns why it
// failed, or the empty text.
template <std::size_t Count>
QString ExecAll(QSqlDatabase& db, const std::array<const char*, Count>& statements)
{
    for (const char* statement : statements) {
        QString failed = ExecLibrarySql(db, QString::fromLatin1(statement));
        if (!failed.isEmpty())
            return failed;
    }
    return {};
}

// Version 1: the books and their bookmarks. Times are UTC milliseconds
// since the epoch; a null time was never set.
QString CreateVersion1(QSqlDatabase& db)
{
    static const std::array<const char*, 4> statements = {
        "CREATE TABLE books ("
        " id INTEGER PRIMARY KEY,"
        " path TEXT NOT NULL UNIQUE,"
        " size INTEGER NOT NULL DEFAULT -1,"
        " chapter_count INTEGER NOT NULL DEFAULT -1,"
        " encoding TEXT NOT NULL DEFAULT '',"
        " skin TEXT NOT NULL DEFAULT '',"
        " place_chapter INTEGER NOT NULL DEFAULT -1,"
        " place_offset INTEGER NOT NULL DEFAULT 0,"
        " chapter_title TEXT NOT NULL DEFAULT '',"
        " progress REAL NOT NULL DEFAULT 0,"
        " added INTEGER NOT NULL,"
        " last_read INTEGER,"
        " place_saved INTEGER)",
        // Books() lists the most recently read first (SQLite sorts nulls
        // first, so last when descending: never-read books come after).
        "CREATE INDEX books_by_reading ON books(last_read DESC, added DESC)",
        "CREATE TABLE bookmarks ("
        " id INTEGER PRIMARY KEY,"
        " book INTEGER NOT NULL REFERENCES books(id) ON DELETE CASCADE,"
        " place_chapter INTEGER NOT NULL,"
        " place_offset INTEGER NOT NULL,"
        " chapter_title TEXT NOT NULL DEFAULT '',"
        " excerpt TEXT NOT NULL DEFAULT '',"
        " note TEXT NOT NULL DEFAULT '',"
        " created INTEGER NOT NULL)",
        // A book's bookmarks in place order, and the cascade on removal.
        "CREATE INDEX bookmarks_by_book ON bookmarks(book, place_chapter, place_offset)",
    };
    QString failed = ExecAll(db, statements);
    return failed.isEmpty()
        ? ExecLibrarySql(db, QStringLiteral("PRAGMA application_id = %1").arg(kLibraryApplicationId))
        : failed;
}

// Version 2: what syncing between computers needs. A book gets the time
// its place last changed (place_saved moves at every note); each bookmark
// a name that is the same on every computer (uid) and the time its note
// last changed; sync_meta keeps the sync's own values (what was last agreed,
// the server's tags) so they change in the same transaction as the books.
QString UpgradeToVersion2(QSqlDatabase& db)
{
    static const std::array<const char*, 7> statements = {
        "ALTER TABLE books ADD COLUMN place_changed INTEGER",
        "UPDATE books SET place_changed = place_saved",
        "ALTER TABLE bookmarks ADD COLUMN uid TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE bookmarks ADD COLUMN changed INTEGER",
        "UPDATE bookmarks SET uid = lower(hex(randomblob(16))), changed = created WHERE uid = ''",
        "CREATE UNIQUE INDEX bookmarks_by_uid ON bookmarks(uid)",
        "CREATE TABLE sync_meta (name TEXT PRIMARY KEY, value BLOB NOT NULL)",
    };
    return ExecAll(db, statements);
}

using MigrationStep = QString (*)(QSqlDatabase&);
// Step i takes version i to version i + 1.
constexpr std::array<MigrationStep, kLibrarySchemaVersion> kSteps = {CreateVersion1, UpgradeToVersion2};

}  // namespace

QString LibraryErrorText(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QString ExecLibrarySql(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    return query.exec(sql) ? QString() : LibraryErrorText(query.lastError());
}

QString MigrateLibrary(QSqlDatabase& db, int from)
{
    for (int version = from; version < kLibrarySchemaVersion; ++version) {
        QString failed = ExecLibrarySql(db, QStringLiteral("BEGIN IMMEDIATE"));
        if (failed.isEmpty())
            failed = kSteps[static_cast<std::size_t>(version)](db);
        if (failed.isEmpty())
            failed = ExecLibrarySql(db, QStringLiteral("PRAGMA user_version = %1").arg(version + 1));
        if (failed.isEmpty())
            failed = ExecLibrarySql(db, QStringLiteral("COMMIT"));
        if (!failed.isEmpty()) {
            ExecLibrarySql(db, QStringLiteral("ROLLBACK"));
            return failed;
        }
    }
    return {};
}
