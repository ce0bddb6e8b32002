#include "core/sync/sync_library.h"

#include "core/sync/book_key.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

SyncStamp Stamp(const QDateTime& time)
{
    return time.isValid() ? time.toMSecsSinceEpoch() : 0;
}

QDateTime Time(SyncStamp stamp)
{
    return stamp > 0 ? QDateTime::fromMSecsSinceEpoch(stamp, Qt::UTC) : QDateTime();
}

SyncedPlace PlaceOf(const LibraryBook& book)
{
    return {book.place, book.chapterTitle, book.progress};
}

// A book this computer's sync has not seen before: its facts count from
// when they were made, and what was never chosen (no place, the encoding
// found by itself, no rule) does not count at all, so a first opening
// never undoes another computer's reading.
void FirstSight(SyncedBook& synced, const LibraryBook& book, const QString& rule, const SyncClock& clock)
{
    const SyncStamp placeChanged = Stamp(book.placeChanged);
    if (book.place.chapter >= 0 && book.place != synced.place.place && placeChanged > synced.placeStamp) {
        synced.place = PlaceOf(book);
        synced.placeStamp = placeChanged;
    }
    const QString encoding = EncodingSettingName(book.encoding);
    if (!encoding.isEmpty() && Stamp(book.lastRead) > synced.encodingStamp) {
        synced.encoding = encoding;
        synced.encodingStamp = Stamp(book.lastRead);
    }
    if (!rule.isEmpty() && Stamp(book.lastRead) > synced.ruleStamp) {
        synced.rule = rule;
        synced.ruleStamp = Stamp(book.lastRead);
    }
    synced.read = std::max(synced.read, Stamp(book.lastRead.isValid() ? book.lastRead : book.added));
    // Put back on the shelf after it was taken off (here or elsewhere).
    if (synced.Removed())
        synced.read = clock.StampFor(synced.read);
}

// A book this computer synced before: a fact that differs from the agreed
// one was changed here since.
void SinceLastRound(SyncedBook& synced, const LibraryBook& book, const QString& rule, const SyncClock& clock,
                    SyncStamp now)
{
    if (book.place.chapter >= 0 && PlaceOf(book).place != synced.place.place) {
        synced.place = PlaceOf(book);
        synced.placeStamp = clock.StampFor(std::max(Stamp(book.placeChanged), synced.placeStamp));
    }
    if (const QString encoding = EncodingSettingName(book.encoding); encoding != synced.encoding) {
        synced.encoding = encoding;
        synced.encodingStamp = clock.StampFor(now);
    }
    if (rule != synced.rule) {
        synced.rule = rule;
        synced.ruleStamp = clock.StampFor(now);
    }
    synced.read = std::max(synced.read, Stamp(book.lastRead));
}

}  // namespace

QHash<QString, QString> BookKeys::Refresh(const LocalLibrary& local)
{
    QHash<QString, QString> pathOfKey;
    QHash<QString, Known> kept;
    for (const LibraryBook& book : local.books) {
        Known known = byPath.value(book.path);
        const QFileInfo file(book.path);
        // A missing file keeps the key it had: the book is still on the shelf.
        if (file.exists() && (known.key.isEmpty() || known.size != file.size())) {
            known.key = BookKeyOfFile(book.path);
            known.size = file.size();
        }
        if (known.key.isEmpty())
            continue;
        kept.insert(book.path, known);
        if (!pathOfKey.contains(known.key))
            pathOfKey.insert(known.key, book.path);
    }
    byPath = kept;
    return pathOfKey;
}

QByteArray BookKeys::ToJson() const
{
    QJsonObject files;
    for (auto known = byPath.cbegin(); known != byPath.cend(); ++known)
        files.insert(known.key(), QJsonArray{known->size, known->key});
    QJsonArray keys;
    for (const QString& key : mapped)
        keys.append(key);
    return QJsonDocument(QJsonObject{{"files", files}, {"mapped", keys}}).toJson(QJsonDocument::Compact);
}

BookKeys BookKeys::FromJson(const QByteArray& json)
{
    BookKeys keys;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonObject files = root.value("files").toObject();
    for (auto file = files.begin(); file != files.end(); ++file) {
        const QJsonArray pair = file.value().toArray();
        keys.byPath.insert(file.key(), {pair.at(0).toInteger(-1), pair.at(1).toString()});
    }
    const QJsonArray mapped = root.value("mapped").toArray();
    for (const auto& key : mapped)
        keys.mapped.insert(key.toString());
    return keys;
}

SyncState LocalSyncState(const SyncState& known, const LocalLibrary& local, const QHash<QString, QString>& pathOfKey,
                         const QSet<QString>& mappedBefore, const SyncClock& clock, SyncStamp now)
{
    SyncState state = known;
    QHash<QString, const LibraryBook*> bookAt;
    for (const LibraryBook& book : local.books)
        bookAt.insert(book.path, &book);

    for (auto mapping = pathOfKey.cbegin(); mapping != pathOfKey.cend(); ++mapping) {
        const LibraryBook& book = *bookAt.value(mapping.value());
        const QString rule = local.rules.value(book.path);
        auto synced = state.books.find(mapping.key());
        if (synced == state.books.end())
            synced = state.books.insert(mapping.key(), SyncedBook{.key = mapping.key()});
        synced->name = QFileInfo(book.path).fileName();
        if (mappedBefore.contains(mapping.key()) && !synced->Removed())
            SinceLastRound(*synced, book, rule, clock, now);
        else
            FirstSight(*synced, book, rule, clock);
    }
    // Taken off this shelf since the last round.
    for (const QString& key : mappedBefore) {
        auto synced = state.books.find(key);
        if (!pathOfKey.contains(key) && synced != state.books.end() && !synced->Removed())
            synced->removed = clock.StampFor(now);
    }

    QHash<QString, QString> keyOfPath;
    for (auto mapping = pathOfKey.cbegin(); mapping != pathOfKey.cend(); ++mapping)
        keyOfPath.insert(mapping.value(), mapping.key());
    QSet<QString> here;
    for (const Bookmark& mark : local.bookmarks) {
        const QString key = keyOfPath.value(mark.path);
        if (mark.uid.isEmpty() || key.isEmpty())
            continue;
        here.insert(mark.uid);
        auto synced = state.bookmarks.find(mark.uid);
        if (synced == state.bookmarks.end()) {
            state.bookmarks.insert(mark.uid,
                                   SyncedBookmark{.uid = mark.uid,
                                                  .book = key,
                                                  .place = mark.place,
                                                  .chapterTitle = mark.chapterTitle,
                                                  .excerpt = mark.excerpt,
                                                  .note = mark.note,
                                                  .created = Stamp(mark.created),
                                                  .noteStamp = clock.StampFor(Stamp(mark.changed))});
        } else if (synced->deleted == 0 && synced->note != mark.note) {
            synced->note = mark.note;
            synced->noteStamp = clock.StampFor(std::max(Stamp(mark.changed), synced->noteStamp));
        }
    }
    // Deleted here since the last round: the book was here then and is now,
    // and its bookmark is gone.
    for (SyncedBookmark& synced : state.bookmarks) {
        if (synced.deleted == 0 && !here.contains(synced.uid) && mappedBefore.contains(synced.book)
            && pathOfKey.contains(synced.book))
            synced.Bury(clock.StampFor(now));
    }
    return state;
}

LibrarySyncChange SyncChangesForLibrary(const SyncState& agreed, const LocalLibrary& local,
                                        const QHash<QString, QString>& pathOfKey, QHash<QString, QString>& rules)
{
    LibrarySyncChange change;
    QHash<QString, const LibraryBook*> bookAt;
    for (const LibraryBook& book : local.books)
        bookAt.insert(book.path, &book);
    QHash<QString, const Bookmark*> markOf;
    for (const Bookmark& mark : local.bookmarks)
        markOf.insert(mark.uid, &mark);

    for (auto mapping = pathOfKey.cbegin(); mapping != pathOfKey.cend(); ++mapping) {
        const SyncedBook& synced = agreed.books[mapping.key()];
        const LibraryBook& book = *bookAt.value(mapping.value());
        if (synced.Removed()) {
            change.removedBooks.append(book.path);
            continue;
        }
        const EncodingChoice encoding =
            EncodingChoiceFromSettingName(synced.encoding).value_or(EncodingChoice::Automatic);
        const bool placeDiffers = synced.placeStamp > 0 && synced.place.place != book.place;
        if (placeDiffers || encoding != book.encoding) {
            const SyncedPlace place = synced.placeStamp > 0 ? synced.place : PlaceOf(book);
            change.places.append({.path = book.path,
                                  .placeSavedWhenRead = book.placeSaved,
                                  .encoding = encoding,
                                  .place = place.place,
                                  .chapterTitle = place.chapterTitle,
                                  .progress = place.progress,
                                  .lastRead = Time(synced.read),
                                  .placeChanged = placeDiffers ? Time(synced.placeStamp) : book.placeChanged});
        }
        if (synced.ruleStamp > 0 && synced.rule != local.rules.value(book.path))
            rules.insert(book.path, synced.rule);
    }

    for (const SyncedBookmark& synced : agreed.bookmarks) {
        const QString path = pathOfKey.value(synced.book);
        if (path.isEmpty() || agreed.books[synced.book].Removed())
            continue;
        const Bookmark* mark = markOf.value(synced.uid);
        if (synced.deleted != 0) {
            if (mark)
                change.removedBookmarks.append(synced.uid);
        } else if (!mark || mark->note != synced.note) {
            change.bookmarks.append(Bookmark{.path = path,
                                             .place = synced.place,
                                             .chapterTitle = synced.chapterTitle,
                                             .excerpt = synced.excerpt,
                                             .note = synced.note,
                                             .created = Time(synced.created),
                                             .uid = synced.uid,
                                             .changed = Time(synced.noteStamp)});
        }
    }
    return change;
}
