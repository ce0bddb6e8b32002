#pragma once

#include "core/library/library_store.h"

#include <QAbstractTableModel>
#include <QList>

// The bookmarks of the library, one row each: the book's title, the
// chapter, the excerpt, the note and when it was made. The note is edited
// in place: the row shows the new note at once and hands it on through
// NoteEdited for the store.
class BookmarkModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { BookColumn, ChapterColumn, ExcerptColumn, NoteColumn, CreatedColumn, ColumnCount };

    explicit BookmarkModel(QObject* parent = nullptr);

    void SetBookmarks(QList<Bookmark> marks);
    const Bookmark& BookmarkAt(int row) const { return marks_[row]; }
    int RowOf(qint64 id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void NoteEdited(qint64 id, const QString& note);

private:
    QList<Bookmark> marks_;
    QDateTime now_;
};
