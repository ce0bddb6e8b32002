#pragma once

#include <QString>

// A folder only this user may enter, for the reader's lock file and local
// socket: the session's runtime folder ($XDG_RUNTIME_DIR), else a folder of
// our own under the temporary folder, made mode 0700. Either is checked to
// be a real folder owned by this user that nobody else may enter; empty
// when no such folder can be had (then nothing is shared through it).
QString PrivateRuntimeFolder();
