#pragma once

#include <QString>

// True when `path` names a file a plain directory listing shows: it exists,
// is a regular file (not a folder, FIFO or device) and is not hidden.
// Tested literally, never through a wildcard: Linux names may hold * or ?.
bool IsListedFile(const QString& path);

// The same for a file the user named outside any listing (the command line,
// a hand-over, a drop): a hidden one counts too.
bool IsNamedFile(const QString& path);
