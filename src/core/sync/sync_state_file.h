#pragma once

#include "core/sync/sync_state.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A computer's state file on the server: its whole view of the library,
// as JSON compressed with zlib behind a short signature ("TXTSYNC1"). Each
// computer writes only its own file and reads everyone's.
struct SyncStateFile {
    QString machine;  // the computer's lasting name (a UUID)
    QString label;    // its host name, for people looking at the server
    SyncState state;
};

QByteArray EncodeSyncStateFile(const SyncStateFile& file);
// Empty when the bytes are not a whole state file of a format this build
// reads: a file cut short or of a newer reader is never merged.
std::optional<SyncStateFile> DecodeSyncStateFile(const QByteArray& bytes);
