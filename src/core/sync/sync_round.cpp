#include "core/sync/sync_round.h"

#include "core/library/library_store.h"
#include "core/sync/book_key.h"
#include "core/sync/sync_library.h"
#include "core/sync/sync_state_file.h"
#include "core/sync/webdav_client.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace {

// The sync's values in the library (sync_meta).
const QString kMachine = QStringLiteral("machine");    // this computer's lasting name
const QString kAgreed = QStringLiteral("agreed");      // the state agreed at the last round, as a state file
const QString kKeys = QStringLiteral("keys");          // BookKeys
const QString kTags = QStringLiteral("tags");          // the tag of each computer's file as last merged
const QString kClock = QStringLiteral("clock");        // the last stamp given or seen
const QString kUploaded = QStringLiteral("uploaded");  // a hash of the state file last written to the server

const QString kStateSuffix = QStringLiteral(".state");

SyncOutcome Failed(SyncFault fault, const QString& message)
{
    SyncOutcome outcome;
    outcome.fault = fault;
    outcome.message = message;
    return outcome;
}

// What a request that did not succeed means for the reader.
SyncOutcome FromReply(const WebDavClient::Reply& reply)
{
    if (reply.timedOut)
        return Failed(SyncFault::TimedOut, QStringLiteral("同步：服务器没有回应，稍后再试"));
    if (reply.status == 401 || reply.status == 403)
        return Failed(SyncFault::PasswordRefused, QStringLiteral("同步：服务器不接受这个用户名或密码"));
    if (reply.status == 412)
        return Failed(SyncFault::ServerFailed, QStringLiteral("同步：服务器上的文件刚被改过，稍后再试"));
    if (reply.status == 507)
        return Failed(SyncFault::ServerFull, QStringLiteral("同步：服务器上没有空间了"));
    if (reply.status == 0)
        return Failed(SyncFault::Offline, QStringLiteral("同步：连不上服务器（%1）").arg(reply.error));
    if (!reply.error.isEmpty())
        return Failed(SyncFault::ServerFailed, QStringLiteral("同步：服务器的回答不完整，稍后再试"));
    return Failed(SyncFault::ServerFailed, QStringLiteral("同步：服务器出错（%1），稍后再试").arg(reply.status));
}

QString Synced()
{
    return QStringLiteral("已同步 %1").arg(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm")));
}

QHash<QString, QByteArray> TagsFromJson(const QByteArray& json)
{
    QHash<QString, QByteArray> tags;
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    for (auto tag = object.begin(); tag != object.end(); ++tag)
        tags.insert(tag.key(), tag.value().toString().toUtf8());
    return tags;
}

QByteArray TagsToJson(const QHash<QString, QByteArray>& tags)
{
    QJsonObject object;
    for (auto tag = tags.cbegin(); tag != tags.cend(); ++tag)
        object.insert(tag.key(), QString::fromUtf8(tag.value()));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QUrl AsFolder(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

// Lists the sync folder, making it (and the user's folder above it) when
// the server has neither yet.
std::optional<SyncOutcome> ListOrMakeFolder(WebDavClient& dav, const SyncJob& job, QHash<QString, QByteArray>& files)
{
    const WebDavClient::Reply listed = dav.List(&files);
    if (listed.Ok())
        return std::nullopt;
    if (listed.status != 404)
        return FromReply(listed);
    files.clear();
    WebDavClient::Reply made = dav.MakeFolder();
    if (made.status == 409) {  // the user's folder is missing too
        WebDavClient above(AsFolder(job.account.folder), job.account.user, job.account.password, job.timeoutMs);
        above.MakeFolder();
        made = dav.MakeFolder();
    }
    if (made.Ok())
        return std::nullopt;
    if (made.status == 409 || made.status == 404 || made.status == 405)
        return Failed(SyncFault::FolderMissing,
                      QStringLiteral("同步：无法在服务器上建立文件夹（%1）").arg(made.status));
    return FromReply(made);
}

}  // namespace

std::optional<SyncedBook> AgreedBookOfFile(const LibraryStore& store, const QString& path)
{
    const QByteArray agreedFile = store.SyncValue(kAgreed);
    if (agreedFile.isEmpty())
        return std::nullopt;
    const std::optional<SyncStateFile> agreed = DecodeSyncStateFile(agreedFile);
    const QString key = agreed ? BookKeyOfFile(path) : QString();
    const auto found = agreed ? agreed->state.books.constFind(key) : QMap<QString, SyncedBook>::const_iterator();
    if (key.isEmpty() || found == agreed->state.books.cend() || found->Removed())
        return std::nullopt;
    return *found;
}

SyncOutcome SyncLibraryOnce(const SyncJob& job)
{
    LibraryStore store(job.libraryPath);
    if (!store.IsOpen() || store.IsReadOnly())
        return Failed(SyncFault::LibraryUnwritable, QStringLiteral("同步：书架无法写入（%1）").arg(store.LastError()));

    QString machine = QString::fromUtf8(store.SyncValue(kMachine));
    if (machine.isEmpty())
        machine = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QByteArray agreedFileBefore = store.SyncValue(kAgreed);
    const std::optional<SyncStateFile> agreedBefore = DecodeSyncStateFile(agreedFileBefore);
    const SyncState known = agreedBefore ? agreedBefore->state : SyncState{};
    BookKeys keys = BookKeys::FromJson(store.SyncValue(kKeys));
    const BookKeys keysBefore = keys;
    QHash<QString, QByteArray> tags = TagsFromJson(store.SyncValue(kTags));
    const QHash<QString, QByteArray> tagsBefore = tags;
    SyncClock clock(store.SyncValue(kClock).toLongLong());
    clock.Observe(known.Latest());

    // This computer's changes since the last round, found before the
    // network is asked anything.
    const LocalLibrary local{store.Books(), store.Bookmarks(), job.rules};
    const QHash<QString, QString> pathOfKey = keys.Refresh(local);
    const SyncStamp now = QDateTime::currentMSecsSinceEpoch();
    SyncState agreed = LocalSyncState(known, local, pathOfKey, keys.mapped, clock, now);
    clock.Observe(agreed.Latest());

    WebDavClient dav(AsFolder(job.account.folder).resolved(QUrl(QString::fromUtf16(kSyncFolderName))), job.account.user,
                     job.account.password, job.timeoutMs);
    SyncOutcome outcome;
    const auto withCounts = [&dav](SyncOutcome result) {
        result.bytesSent = dav.BytesSent();
        result.bytesReceived = dav.BytesReceived();
        return result;
    };
    QHash<QString, QByteArray> files;
    if (std::optional<SyncOutcome> failed = ListOrMakeFolder(dav, job, files))
        return withCounts(*failed);

    const QString own = machine + kStateSuffix;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        if (!file.key().endsWith(kStateSuffix) || file.key() == own || tags.value(file.key()) == file.value())
            continue;
        const WebDavClient::Reply got = dav.Get(file.key());
        if (!got.Ok())
            return withCounts(FromReply(got));
        // A file cut short or of a newer reader is not merged; its old tag
        // stays, so it is read again next round.
        if (const std::optional<SyncStateFile> theirs = DecodeSyncStateFile(got.body)) {
            MergeSyncState(agreed, theirs->state);
            tags.insert(file.key(), file.value());
            ++outcome.computers;
        }
    }
    clock.Observe(agreed.Latest());

    LibrarySyncChange change = SyncChangesForLibrary(agreed, local, pathOfKey, outcome.rules);
    keys.mapped.clear();
    for (auto mapping = pathOfKey.cbegin(); mapping != pathOfKey.cend(); ++mapping) {
        if (!agreed.books[mapping.key()].Removed())
            keys.mapped.insert(mapping.key());
    }
    // Nothing new on either side, and the server has this state already:
    // the round ends without writing anything (the usual five-minute round).
    const bool nothingNew = agreedBefore && agreed == known && keys == keysBefore && tags == tagsBefore
        && change.places.isEmpty() && change.removedBooks.isEmpty() && change.bookmarks.isEmpty()
        && change.removedBookmarks.isEmpty() && outcome.rules.isEmpty();
    if (nothingNew && files.contains(own)
        && store.SyncValue(kUploaded) == QCryptographicHash::hash(agreedFileBefore, QCryptographicHash::Sha256)) {
        outcome.message = Synced();
        return withCounts(outcome);
    }
    const QByteArray stateFile = EncodeSyncStateFile({machine, job.label, agreed});
    change.values = {{kMachine, machine.toUtf8()},
                     {kAgreed, stateFile},
                     {kKeys, keys.ToJson()},
                     {kTags, TagsToJson(tags)},
                     {kClock, QByteArray::number(clock.Last())}};
    if (const FileWriteResult written = store.ApplySync(change); !written)
        return withCounts(
            Failed(SyncFault::LibraryUnwritable, QStringLiteral("同步：书架无法写入（%1）").arg(written.reason)));
    for (const LibrarySyncChange::Place& place : change.places)
        outcome.movedPaths.append(place.path);
    outcome.removedPaths = change.removedBooks;
    outcome.bookmarksChanged = static_cast<int>(change.bookmarks.size() + change.removedBookmarks.size());

    const QByteArray hash = QCryptographicHash::hash(stateFile, QCryptographicHash::Sha256);
    if (hash != store.SyncValue(kUploaded) || !files.contains(own)) {
        const WebDavClient::Reply put = dav.Put(own, stateFile, files.value(own));
        if (!put.Ok()) {
            // The library here has what came; the server gets it next round.
            const SyncOutcome failed = FromReply(put);
            outcome.fault = failed.fault;
            outcome.message = failed.message;
            return withCounts(outcome);
        }
        store.ApplySync({.values = {{kUploaded, hash}}});
    }
    outcome.message = Synced();
    return withCounts(outcome);
}
