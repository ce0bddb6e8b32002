#pragma once

#include <QString>

// True when `path` names a file a plain directory listing shows: it exists,
// is a regular file (not a folder, FIFO or device) and is not hidden.
// Tested literally, never through a wildcard: Linux names may hold * or ?.
bool IsListedFile(const QString& path);

// The same for a file the user named outside any listing (the command line,
// a hand-over, a drop): a hidden one counts too.
bool IsNamedFile(const QString& path);

// Whether `path` names a folder (through links).
bool IsFolder(const QString& path);
// Whether anything at all is at `path`.
bool PathExists(const QString& path);

// The path of the file a settings line names, or empty when there is none.
// Settings files are GBK text, so a name that is not UTF-8 on disk comes
// back from them as the text its bytes spell in GBK: each part of the path
// not found as written is looked for by those bytes.
QString ExistingPathFor(const QString& remembered);
