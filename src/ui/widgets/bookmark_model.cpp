#include "ui/widgets/bookmark_model.h"

#include "ui/widgets/library_model.h"

#include <QStringList>

BookmarkModel::BookmarkModel(QObject* parent) : QAbstractTableModel(parent)
{}

void BookmarkModel::SetBookmarks(QList<Bookmark> marks)
{
    beginResetModel();
    marks_ = std::move(marks);
    now_ = QDateTime::currentDateTime();
    endResetModel();
}

int BookmarkModel::RowOf(qint64 id) const
{
    for (int row = 0; row < marks_.size(); ++row) {
        if (marks_[row].id == id)
            return row;
    }
    return -1;
}

int BookmarkModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(marks_.size());
}

int BookmarkModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookmarkModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= marks_.size())
        return {};
    const Bookmark& mark = marks_[index.row()];
    if (role == Qt::ToolTipRole)
        return mark.path;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case BookColumn: return LibraryBook{.path = mark.path}.Title();
    case ChapterColumn: return mark.chapterTitle;
    case ExcerptColumn: return mark.excerpt;
    case NoteColumn: return mark.note;
    case CreatedColumn: return LibraryTimeText(mark.created, now_);
    default: return {};
    }
}

bool BookmarkModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != NoteColumn || index.row() >= marks_.size())
        return false;
    const QString note = value.toString();
    Bookmark& mark = marks_[index.row()];
    if (note == mark.note)
        return true;
    mark.note = note;
    emit dataChanged(index, index);
    emit NoteEdited(mark.id, note);
    return true;
}

Qt::ItemFlags BookmarkModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == NoteColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant BookmarkModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList names = {QStringLiteral("书名"), QStringLiteral("章节"), QStringLiteral("摘录"),
                                      QStringLiteral("备注"), QStringLiteral("时间")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= names.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return names[section];
}
