#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// One sync of the library with a WebDAV folder: this computer's changes
// since the last round are merged with every other computer's state file,
// the result is written into the library in one transaction, then this
// computer's own state file is written (it alone writes it). A fault at any
// step leaves the library as it was, or merged and whole; the next round
// starts over.

struct SyncAccount {
    QUrl folder{};  // the WebDAV folder the user gave
    QString user{};
    QString password{};
    bool operator==(const SyncAccount&) const = default;
};

struct SyncJob {
    QString libraryPath{};  // library.sqlite
    SyncAccount account{};
    QHash<QString, QString> rules{};  // path -> the heading rule chosen for it, as the reader has them
    QString label{};                  // this computer's name, for people looking at the server
    int timeoutMs = 30000;            // a server silent for this long has failed
};

enum class SyncFault {
    None,
    Offline,            // no connection to the server
    TimedOut,           // it stopped answering
    PasswordRefused,    // 401 or 403: the password is asked for again
    FolderMissing,      // the folder could not be made
    ServerFailed,       // a 5xx, or an answer cut short
    ServerFull,         // 507
    LibraryUnwritable,  // the library here could not be read or written
};

struct SyncOutcome {
    SyncFault fault = SyncFault::None;
    QString message;  // a short line for the status bar
    // What came from other computers, for the books open now.
    QStringList movedPaths;         // a newer place (or encoding)
    QStringList removedPaths;       // taken off the shelf
    QHash<QString, QString> rules;  // path -> rule chosen elsewhere
    int bookmarksChanged = 0;
    int computers = 0;  // other computers whose state was read
    qint64 bytesSent = 0;
    qint64 bytesReceived = 0;
    bool Ok() const { return fault == SyncFault::None; }
};

// The name of the folder the state files live in, under the user's folder.
inline constexpr char16_t kSyncFolderName[] = u"txtreader-library/";

class LibraryStore;
struct SyncedBook;

// What the computers agreed on at the last round about the book in the file
// at `path`, which this library does not hold yet: how far it was read
// elsewhere, for its first opening here. Reads 128 KiB of the file.
std::optional<SyncedBook> AgreedBookOfFile(const LibraryStore& store, const QString& path);

// Runs a whole round on the calling thread, waiting for the network as it
// goes; call it from a worker.
SyncOutcome SyncLibraryOnce(const SyncJob& job);
