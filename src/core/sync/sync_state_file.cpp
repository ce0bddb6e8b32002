#include "core/sync/sync_state_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr char kSignature[] = "TXTSYNC1";
constexpr qsizetype kSignatureLength = sizeof(kSignature) - 1;
constexpr int kFormat = 1;

QJsonArray PlaceJson(const ReadingPlace& place)
{
    return {place.chapter, static_cast<qint64>(place.offset)};
}

ReadingPlace PlaceFromJson(const QJsonValue& value)
{
    const QJsonArray pair = value.toArray();
    return {pair.at(0).toInt(-1), static_cast<qsizetype>(pair.at(1).toInteger())};
}

QJsonObject BookJson(const SyncedBook& book)
{
    return {{"key", book.key},
            {"name", book.name},
            {"place", PlaceJson(book.place.place)},
            {"title", book.place.chapterTitle},
            {"progress", book.place.progress},
            {"placeAt", book.placeStamp},
            {"encoding", book.encoding},
            {"encodingAt", book.encodingStamp},
            {"rule", book.rule},
            {"ruleAt", book.ruleStamp},
            {"read", book.read},
            {"removed", book.removed}};
}

SyncedBook BookFromJson(const QJsonObject& json)
{
    SyncedBook book;
    book.key = json.value("key").toString();
    book.name = json.value("name").toString();
    book.place.place = PlaceFromJson(json.value("place"));
    book.place.chapterTitle = json.value("title").toString();
    book.place.progress = json.value("progress").toDouble();
    book.placeStamp = json.value("placeAt").toInteger();
    book.encoding = json.value("encoding").toString();
    book.encodingStamp = json.value("encodingAt").toInteger();
    book.rule = json.value("rule").toString();
    book.ruleStamp = json.value("ruleAt").toInteger();
    book.read = json.value("read").toInteger();
    book.removed = json.value("removed").toInteger();
    return book;
}

// A deleted bookmark keeps only what its tombstone needs.
QJsonObject BookmarkJson(const SyncedBookmark& mark)
{
    if (mark.deleted != 0)
        return {{"uid", mark.uid}, {"book", mark.book}, {"created", mark.created}, {"deleted", mark.deleted}};
    return {
        {"uid", mark.uid},         {"book", mark.book}, {"place", PlaceJson(mark.place)}, {"title", mark.chapterTitle},
        {"excerpt", mark.excerpt}, {"note", mark.note}, {"created", mark.created},        {"noteAt", mark.noteStamp}};
}

SyncedBookmark BookmarkFromJson(const QJsonObject& json)
{
    SyncedBookmark mark;
    mark.uid = json.value("uid").toString();
    mark.book = json.value("book").toString();
    mark.place = PlaceFromJson(json.value("place"));
    mark.chapterTitle = json.value("title").toString();
    mark.excerpt = json.value("excerpt").toString();
    mark.note = json.value("note").toString();
    mark.created = json.value("created").toInteger();
    mark.noteStamp = json.value("noteAt").toInteger();
    mark.deleted = json.value("deleted").toInteger();
    return mark;
}

}  // namespace

QByteArray EncodeSyncStateFile(const SyncStateFile& file)
{
    QJsonArray books;
    for (const SyncedBook& book : file.state.books)
        books.append(BookJson(book));
    QJsonArray bookmarks;
    for (const SyncedBookmark& mark : file.state.bookmarks)
        bookmarks.append(BookmarkJson(mark));
    const QJsonObject root{{"format", kFormat},
                           {"machine", file.machine},
                           {"label", file.label},
                           {"books", books},
                           {"bookmarks", bookmarks}};
    return QByteArray(kSignature, kSignatureLength) + qCompress(QJsonDocument(root).toJson(QJsonDocument::Compact));
}

std::optional<SyncStateFile> DecodeSyncStateFile(const QByteArray& bytes)
{
    if (!bytes.startsWith(QByteArray(kSignature, kSignatureLength)))
        return std::nullopt;
    // qUncompress gives nothing for a stream cut short or damaged.
    const QByteArray json = qUncompress(bytes.mid(kSignatureLength));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || root.value("format").toInt() != kFormat)
        return std::nullopt;
    SyncStateFile file;
    file.machine = root.value("machine").toString();
    file.label = root.value("label").toString();
    const QJsonArray books = root.value("books").toArray();
    for (const auto& value : books) {
        SyncedBook book = BookFromJson(value.toObject());
        if (!book.key.isEmpty())
            file.state.books.insert(book.key, book);
    }
    const QJsonArray bookmarks = root.value("bookmarks").toArray();
    for (const auto& value : bookmarks) {
        SyncedBookmark mark = BookmarkFromJson(value.toObject());
        if (!mark.uid.isEmpty())
            file.state.bookmarks.insert(mark.uid, mark);
    }
    return file;
}
