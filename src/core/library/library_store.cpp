#include "core/library/library_store.h"

#include "core/library/library_opening.h"
#include "core/library/library_schema.h"

#include <QAtomicInteger>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {

QVariant Millis(const QDateTime& time)
{
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant(QMetaType(QMetaType::LongLong));
}

QDateTime FromMillis(const QVariant& value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

// Qt binds a null text as NULL; the text columns hold '' instead.
QString Text(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QString NotInLibrary()
{
    return QStringLiteral("书架中没有这本书");
}

const QString kBookColumns = QStringLiteral(
    "path, size, chapter_count, encoding, skin, place_chapter, place_offset, chapter_title, progress, added,"
    " last_read, place_saved, place_changed");

LibraryBook BookFromRow(const QSqlQuery& row)
{
    LibraryBook book;
    book.path = row.value(0).toString();
    book.size = row.value(1).toLongLong();
    book.chapterCount = row.value(2).toInt();
    book.encoding = EncodingChoiceFromSettingName(row.value(3).toString()).value_or(EncodingChoice::Automatic);
    book.skinName = row.value(4).toString();
    book.place.chapter = row.value(5).toInt();
    book.place.offset = row.value(6).toLongLong();
    book.chapterTitle = row.value(7).toString();
    book.progress = row.value(8).toDouble();
    book.added = FromMillis(row.value(9));
    book.lastRead = FromMillis(row.value(10));
    book.placeSaved = FromMillis(row.value(11));
    book.placeChanged = FromMillis(row.value(12));
    return book;
}

const QString kBookmarkColumns = QStringLiteral(
    "m.id, b.path, m.place_chapter, m.place_offset, m.chapter_title, m.excerpt, m.note, m.created, m.uid, m.changed");

Bookmark BookmarkFromRow(const QSqlQuery& row)
{
    Bookmark mark;
    mark.id = row.value(0).toLongLong();
    mark.path = row.value(1).toString();
    mark.place.chapter = row.value(2).toInt();
    mark.place.offset = row.value(3).toLongLong();
    mark.chapterTitle = row.value(4).toString();
    mark.excerpt = row.value(5).toString();
    mark.note = row.value(6).toString();
    mark.created = FromMillis(row.value(7));
    mark.uid = row.value(8).toString();
    mark.changed = FromMillis(row.value(9));
    return mark;
}

// Runs a prepared statement; returns why it failed, or the empty text.
QString Run(QSqlQuery& query)
{
    return query.exec() ? QString() : LibraryErrorText(query.lastError());
}

}  // namespace

QString LibraryBook::Title() const
{
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

QString LibraryBook::Folder() const
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

struct LibraryStore::Database {
    QString connection;
    QString path;
    QSqlDatabase sql;
    LibraryOpening opening;
    QString lastError;

    // Runs `steps` (which return why they failed, or the empty text) in one
    // transaction: all of it is written, or none.
    template <typename Steps>
    FileWriteResult Change(Steps steps)
    {
        QString failed;
        if (!opening.open || opening.readOnly)
            failed = opening.error.isEmpty() ? QStringLiteral("书架无法打开") : opening.error;
        else
            failed = ExecLibrarySql(sql, QStringLiteral("BEGIN IMMEDIATE"));
        if (failed.isEmpty())
            failed = steps();
        if (failed.isEmpty())
            failed = ExecLibrarySql(sql, QStringLiteral("COMMIT"));
        if (failed.isEmpty()) {
            lastError.clear();
            return {true, {}};
        }
        // SQLite may have rolled back already (a full disk does that).
        if (opening.open && !opening.readOnly && !sql.isOpenError())
            ExecLibrarySql(sql, QStringLiteral("ROLLBACK"));
        lastError = failed;
        return {false, failed};
    }

    qint64 lastBookmark = 0;  // the row id InsertBookmark gave

    // Adds a bookmark inside a change; a new one gets its uid here.
    QString InsertBookmark(const Bookmark& mark)
    {
        const qint64 book = BookId(mark.path);
        if (book == 0)
            return NotInLibrary();
        const QDateTime created = mark.created.isValid() ? mark.created : QDateTime::currentDateTimeUtc();
        QSqlQuery query(sql);
        query.prepare(
            QStringLiteral("INSERT INTO bookmarks (book, place_chapter, place_offset, chapter_title, excerpt, note,"
                           " created, uid, changed) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        query.addBindValue(book);
        query.addBindValue(mark.place.chapter);
        query.addBindValue(static_cast<qint64>(mark.place.offset));
        query.addBindValue(Text(mark.chapterTitle));
        query.addBindValue(Text(mark.excerpt));
        query.addBindValue(Text(mark.note));
        query.addBindValue(Millis(created));
        query.addBindValue(mark.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::Id128) : mark.uid);
        query.addBindValue(Millis(mark.changed.isValid() ? mark.changed : created));
        QString failed = Run(query);
        if (failed.isEmpty())
            lastBookmark = query.lastInsertId().toLongLong();
        return failed;
    }

    // The row id of the book at `path`, or 0.
    qint64 BookId(const QString& bookPath) const
    {
        QSqlQuery query(sql);
        query.prepare(QStringLiteral("SELECT id FROM books WHERE path = ?"));
        query.addBindValue(bookPath);
        return query.exec() && query.next() ? query.value(0).toLongLong() : 0;
    }
};

LibraryStore::LibraryStore(const QString& path) : db_(new Database)
{
    static QAtomicInteger<quint64> stores;
    db_->connection = QStringLiteral("library-%1").arg(stores.fetchAndAddRelaxed(1));
    db_->path = path;
    db_->sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db_->connection);
    db_->opening = OpenLibraryDatabase(db_->sql, path);
    db_->lastError = db_->opening.movedAside.isEmpty()
        ? db_->opening.error
        : QStringLiteral("书架文件已损坏，已移到 %1，并新建了书架").arg(db_->opening.movedAside);
}

LibraryStore::~LibraryStore()
{
    db_->sql.close();
    db_->sql = QSqlDatabase();
    QSqlDatabase::removeDatabase(db_->connection);
    delete db_;
}

bool LibraryStore::IsOpen() const
{
    return db_->opening.open;
}

bool LibraryStore::IsReadOnly() const
{
    return db_->opening.readOnly;
}

QString LibraryStore::Path() const
{
    return db_->path;
}

QString LibraryStore::LastError() const
{
    return db_->lastError;
}

int LibraryStore::SchemaVersion()
{
    return kLibrarySchemaVersion;
}

FileWriteResult LibraryStore::NoteBook(const LibraryBook& book, const QDateTime& when)
{
    return db_->Change([&] {
        QSqlQuery query(db_->sql);
        query.prepare(
            QStringLiteral(
                "INSERT INTO books (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                " ON CONFLICT(path) DO UPDATE SET"
                " size = CASE WHEN excluded.size >= 0 THEN excluded.size ELSE size END,"
                " chapter_count = CASE WHEN excluded.chapter_count >= 0 THEN excluded.chapter_count"
                " ELSE chapter_count END,"
                " encoding = excluded.encoding, skin = excluded.skin, place_chapter = excluded.place_chapter,"
                " place_offset = excluded.place_offset, chapter_title = excluded.chapter_title,"
                " progress = excluded.progress, last_read = excluded.last_read, place_saved = excluded.place_saved,"
                " place_changed = CASE WHEN place_chapter = excluded.place_chapter"
                " AND place_offset = excluded.place_offset THEN ifnull(place_changed, excluded.place_changed)"
                " ELSE excluded.place_changed END")
                .arg(kBookColumns));
        query.addBindValue(book.path);
        query.addBindValue(book.size);
        query.addBindValue(book.chapterCount);
        query.addBindValue(Text(EncodingSettingName(book.encoding)));
        query.addBindValue(Text(book.skinName));
        query.addBindValue(book.place.chapter);
        query.addBindValue(static_cast<qint64>(book.place.offset));
        query.addBindValue(Text(book.chapterTitle));
        query.addBindValue(book.progress);
        query.addBindValue(Millis(book.added.isValid() ? book.added : when));
        query.addBindValue(Millis(when));
        query.addBindValue(Millis(when));
        query.addBindValue(book.place.chapter >= 0 ? Millis(when) : Millis({}));
        return Run(query);
    });
}

FileWriteResult LibraryStore::AddBooks(const QList<LibraryBook>& books, int* added)
{
    int inserted = 0;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    FileWriteResult result = db_->Change([&] {
        QSqlQuery query(db_->sql);
        query.prepare(
            QStringLiteral("INSERT INTO books (path, size, chapter_count, encoding, added) VALUES (?, ?, ?, ?, ?)"
                           " ON CONFLICT(path) DO NOTHING"));
        for (const LibraryBook& book : books) {
            query.addBindValue(book.path);
            query.addBindValue(book.size);
            query.addBindValue(book.chapterCount);
            query.addBindValue(Text(EncodingSettingName(book.encoding)));
            query.addBindValue(Millis(book.added.isValid() ? book.added : now));
            QString failed = Run(query);
            if (!failed.isEmpty())
                return failed;
            inserted += query.numRowsAffected() > 0 ? 1 : 0;
        }
        return QString();
    });
    if (added)
        *added = result ? inserted : 0;
    return result;
}

FileWriteResult LibraryStore::RemoveBook(const QString& path)
{
    return db_->Change([&] {
        QSqlQuery query(db_->sql);
        query.prepare(QStringLiteral("DELETE FROM books WHERE path = ?"));
        query.addBindValue(path);
        return Run(query);
    });
}

FileWriteResult LibraryStore::MoveBook(const QString& from, const QString& to)
{
    return db_->Change([&] {
        if (from == to)
            return QString();
        if (db_->BookId(to) != 0)
            return QStringLiteral("书架中已有这个文件：%1").arg(to);
        QSqlQuery query(db_->sql);
        query.prepare(QStringLiteral("UPDATE books SET path = ? WHERE path = ?"));
        query.addBindValue(to);
        query.addBindValue(from);
        QString failed = Run(query);
        if (failed.isEmpty() && query.numRowsAffected() == 0)
            failed = NotInLibrary();
        return failed;
    });
}

std::optional<LibraryBook> LibraryStore::Book(const QString& path) const
{
    QSqlQuery query(db_->sql);
    query.prepare(QStringLiteral("SELECT %1 FROM books WHERE path = ?").arg(kBookColumns));
    query.addBindValue(path);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return BookFromRow(query);
}

QList<LibraryBook> LibraryStore::Books() const
{
    QList<LibraryBook> books;
    QSqlQuery query(db_->sql);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM books ORDER BY last_read DESC, added DESC").arg(kBookColumns)))
        return books;
    while (query.next())
        books.append(BookFromRow(query));
    return books;
}

FileWriteResult LibraryStore::AddBookmark(const Bookmark& mark, qint64* id)
{
    qint64 newId = 0;
    FileWriteResult result = db_->Change([&] {
        QString failed = db_->InsertBookmark(mark);
        if (failed.isEmpty())
            newId = db_->lastBookmark;
        return failed;
    });
    if (id)
        *id = result ? newId : 0;
    return result;
}

FileWriteResult LibraryStore::SetBookmarkNote(qint64 id, const QString& note)
{
    return db_->Change([&] {
        QSqlQuery query(db_->sql);
        query.prepare(QStringLiteral("UPDATE bookmarks SET note = ?, changed = ? WHERE id = ?"));
        query.addBindValue(Text(note));
        query.addBindValue(Millis(QDateTime::currentDateTimeUtc()));
        query.addBindValue(id);
        return Run(query);
    });
}

FileWriteResult LibraryStore::RemoveBookmark(qint64 id)
{
    return db_->Change([&] {
        QSqlQuery query(db_->sql);
        query.prepare(QStringLiteral("DELETE FROM bookmarks WHERE id = ?"));
        query.addBindValue(id);
        return Run(query);
    });
}

QList<Bookmark> LibraryStore::Bookmarks(const QString& path) const
{
    QList<Bookmark> marks;
    QSqlQuery query(db_->sql);
    query.setForwardOnly(true);
    const QString select =
        QStringLiteral("SELECT %1 FROM bookmarks m JOIN books b ON b.id = m.book").arg(kBookmarkColumns);
    const QString order = QStringLiteral(" ORDER BY b.path, m.place_chapter, m.place_offset, m.id");
    if (path.isEmpty()) {
        query.prepare(select + order);
    } else {
        query.prepare(select + QStringLiteral(" WHERE b.path = ?") + order);
        query.addBindValue(path);
    }
    if (!query.exec())
        return marks;
    while (query.next())
        marks.append(BookmarkFromRow(query));
    return marks;
}

QByteArray LibraryStore::SyncValue(const QString& name) const
{
    QSqlQuery query(db_->sql);
    query.prepare(QStringLiteral("SELECT value FROM sync_meta WHERE name = ?"));
    query.addBindValue(name);
    return query.exec() && query.next() ? query.value(0).toByteArray() : QByteArray();
}

FileWriteResult LibraryStore::ApplySync(const LibrarySyncChange& change)
{
    return db_->Change([&] {
        QSqlQuery query(db_->sql);
        query.prepare(
            QStringLiteral("UPDATE books SET encoding = ?, place_chapter = ?, place_offset = ?, chapter_title = ?,"
                           " progress = ?, last_read = nullif(max(ifnull(last_read, 0), ?), 0), place_saved = ?,"
                           " place_changed = ?"
                           " WHERE path = ? AND ifnull(place_saved, 0) = ?"));
        const QVariant now = Millis(QDateTime::currentDateTimeUtc());
        for (const LibrarySyncChange::Place& place : change.places) {
            query.addBindValue(Text(EncodingSettingName(place.encoding)));
            query.addBindValue(place.place.chapter);
            query.addBindValue(static_cast<qint64>(place.place.offset));
            query.addBindValue(Text(place.chapterTitle));
            query.addBindValue(place.progress);
            query.addBindValue(place.lastRead.isValid() ? place.lastRead.toMSecsSinceEpoch() : 0);
            // Saved now: newer than book.ini, so the book opens at this place.
            query.addBindValue(now);
            query.addBindValue(Millis(place.placeChanged));
            query.addBindValue(place.path);
            query.addBindValue(place.placeSavedWhenRead.isValid() ? place.placeSavedWhenRead.toMSecsSinceEpoch() : 0);
            if (QString failed = Run(query); !failed.isEmpty())
                return failed;
        }
        query.prepare(QStringLiteral("DELETE FROM books WHERE path = ?"));
        for (const QString& path : change.removedBooks) {
            query.addBindValue(path);
            if (QString failed = Run(query); !failed.isEmpty())
                return failed;
        }
        query.prepare(QStringLiteral("DELETE FROM bookmarks WHERE uid = ?"));
        for (const QString& uid : change.removedBookmarks) {
            query.addBindValue(uid);
            if (QString failed = Run(query); !failed.isEmpty())
                return failed;
        }
        QSqlQuery noted(db_->sql);
        noted.prepare(QStringLiteral("UPDATE bookmarks SET note = ?, changed = ? WHERE uid = ?"));
        for (const Bookmark& mark : change.bookmarks) {
            noted.addBindValue(Text(mark.note));
            noted.addBindValue(Millis(mark.changed));
            noted.addBindValue(mark.uid);
            QString failed = Run(noted);
            // A bookmark of a book removed meanwhile has nowhere to go.
            if (failed.isEmpty() && noted.numRowsAffected() == 0 && db_->BookId(mark.path) != 0)
                failed = db_->InsertBookmark(mark);
            if (!failed.isEmpty())
                return failed;
        }
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO sync_meta (name, value) VALUES (?, ?)"));
        for (auto value = change.values.cbegin(); value != change.values.cend(); ++value) {
            query.addBindValue(value.key());
            query.addBindValue(value.value().isNull() ? QByteArray("") : value.value());
            if (QString failed = Run(query); !failed.isEmpty())
                return failed;
        }
        return QString();
    });
}
