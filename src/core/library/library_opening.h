#pragma once

#include <QString>

class QSqlDatabase;

// What opening the library's database came to.
struct LibraryOpening {
    bool open = false;
    bool readOnly = false;  // written by a newer reader: read, never changed
    QString error;          // why it is not open, or why it is read-only
    QString movedAside;     // where a damaged or foreign file went; empty: none
};

// Opens `db` (a QSQLITE connection not yet open) on the file at `path` and
// makes it ready for changes: write-ahead log, a sync on every commit,
// foreign keys, the schema brought up to date. A file that is damaged or is
// not a library of ours is moved aside to "<path>.broken" (never deleted)
// and a new one made. A library written by a newer reader is opened
// read-only, so it is neither harmed nor downgraded.
LibraryOpening OpenLibraryDatabase(QSqlDatabase& db, const QString& path);
