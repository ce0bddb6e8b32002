#pragma once

#include <QString>

class QSqlDatabase;
class QSqlError;

// The library database's layout and how older layouts are brought up to
// date. PRAGMA user_version holds the layout's version; PRAGMA
// application_id marks the file as ours.

inline constexpr int kLibrarySchemaVersion = 2;
inline constexpr int kLibraryApplicationId = 0x54585442;  // "TXTB"

// Brings a database of version `from` (0: empty) to kLibrarySchemaVersion,
// one step per version, each step one transaction that also sets the
// version. Returns why it failed, or the empty text.
QString MigrateLibrary(QSqlDatabase& db, int from);

// One statement, executed at once. Returns why it failed, or the empty text.
QString ExecLibrarySql(QSqlDatabase& db, const QString& sql);

// SQLite's own words for a failure ("database or disk is full"), else Qt's.
QString LibraryErrorText(const QSqlError& error);
