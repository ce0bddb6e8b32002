#pragma once

#include <QString>
#include <QStringView>

// What became of a file write: written whole, or the reason it was not, in
// the system's words ("No space left on device").
struct FileWriteResult {
    bool written = false;
    QString reason;

    explicit operator bool() const { return written; }
};

// Writes `text` as GB18030 through a save file, so the old file stays
// whole until the new one is complete: every write and the final flush are
// checked, and a failure discards the new file. A path that is a symbolic
// link is not written through. The caller puts in the CR LFs.
FileWriteResult WriteGb18030File(const QString& path, QStringView text);

// Removes what a save killed between its write and its rename left in
// `folder`: a plain file of ours named like a file the reader saves there
// with the save file's six-character suffix ("book.ini.DLOOJF"). Only the
// reader writes such names, so at its start none of them is in use.
// Returns how many went.
int RemoveStaleSaveFiles(const QString& folder);
