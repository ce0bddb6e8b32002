#include "ui/widgets/library_model.h"

#include "core/files/plain_file.h"

#include <QBrush>
#include <QPalette>

#include <algorithm>

namespace {

const QString kMissingNote = QStringLiteral("（文件不见了）");

QString ProgressText(const LibraryBook& book)
{
    if (!book.lastRead.isValid() && book.place.chapter < 0)
        return {};
    const QString percent = QStringLiteral("%1%").arg(qRound(std::clamp(book.progress, 0.0, 1.0) * 100));
    return book.chapterTitle.isEmpty() ? percent : percent + QLatin1Char(' ') + book.chapterTitle;
}

// In units of 1024, as file managers show book files: "830 B", "1.5 KB", "3.2 MB".
QString SizeText(qint64 size)
{
    if (size < 0)
        return {};
    if (size < 1024)
        return QStringLiteral("%1 B").arg(size);
    static const char* const units[] = {"KB", "MB", "GB"};
    double value = static_cast<double>(size) / 1024;
    int unit = 0;
    for (; value >= 1024 && unit < 2; ++unit)
        value /= 1024;
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

}  // namespace

QString LibraryTimeText(const QDateTime& time, const QDateTime& now)
{
    if (!time.isValid())
        return QStringLiteral("—");
    const QDateTime local = time.toLocalTime();
    const QDate today = now.toLocalTime().date();
    const QString clock = local.toString(QStringLiteral("HH:mm"));
    if (local.date() == today)
        return QStringLiteral("今天 ") + clock;
    if (local.date() == today.addDays(-1))
        return QStringLiteral("昨天 ") + clock;
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

LibraryModel::LibraryModel(QObject* parent) : QAbstractTableModel(parent)
{}

void LibraryModel::SetBooks(QList<LibraryBook> books)
{
    beginResetModel();
    books_ = std::move(books);
    titles_.clear();
    folders_.clear();
    titles_.reserve(static_cast<std::size_t>(books_.size()));
    folders_.reserve(static_cast<std::size_t>(books_.size()));
    for (const LibraryBook& book : books_) {
        titles_.push_back(book.Title());
        folders_.push_back(book.Folder());
    }
    missing_.assign(static_cast<std::size_t>(books_.size()), -1);
    now_ = QDateTime::currentDateTime();
    endResetModel();
}

int LibraryModel::RowOf(const QString& path) const
{
    for (int row = 0; row < books_.size(); ++row) {
        if (books_[row].path == path)
            return row;
    }
    return -1;
}

bool LibraryModel::IsMissing(int row) const
{
    signed char& missing = missing_[static_cast<std::size_t>(row)];
    if (missing < 0)
        missing = IsNamedFile(books_[row].path) ? 0 : 1;
    return missing == 1;
}

int LibraryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(books_.size());
}

int LibraryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LibraryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= books_.size())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole: return Text(row, index.column());
    case SortRole: return SortKey(row, index.column());
    case Qt::ToolTipRole: return books_[row].path;
    case Qt::ForegroundRole:
        if (IsMissing(row))
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ChaptersColumn || index.column() == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

QVariant LibraryModel::Text(int row, int column) const
{
    const LibraryBook& book = books_[row];
    switch (column) {
    case TitleColumn: return IsMissing(row) ? TitleAt(row) + kMissingNote : TitleAt(row);
    case ProgressColumn: return ProgressText(book);
    case LastReadColumn: return LibraryTimeText(book.lastRead, now_);
    case AddedColumn: return LibraryTimeText(book.added, now_);
    case ChaptersColumn: return book.chapterCount < 0 ? QString() : QString::number(book.chapterCount);
    case SizeColumn: return SizeText(book.size);
    case EncodingColumn: return EncodingMenuName(book.encoding);
    case FolderColumn: return FolderAt(row);
    default: return {};
    }
}

QVariant LibraryModel::SortKey(int row, int column) const
{
    const LibraryBook& book = books_[row];
    // Never read sorts as the oldest.
    const auto millis = [](const QDateTime& time) { return time.isValid() ? time.toMSecsSinceEpoch() : -1; };
    switch (column) {
    case ProgressColumn: return book.progress;
    case LastReadColumn: return millis(book.lastRead);
    case AddedColumn: return millis(book.added);
    case ChaptersColumn: return book.chapterCount;
    case SizeColumn: return book.size;
    default: return Text(row, column);
    }
}

QVariant LibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList names = {
        QStringLiteral("书名"),   QStringLiteral("进度"), QStringLiteral("最后阅读"), QStringLiteral("加入时间"),
        QStringLiteral("章节数"), QStringLiteral("大小"), QStringLiteral("编码"),     QStringLiteral("文件夹"),
    };
    if (orientation != Qt::Horizontal || section < 0 || section >= names.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return names[section];
    // A first click on a time, progress or size shows the most first; on a
    // text, A to Z.
    if (role == Qt::InitialSortOrderRole) {
        const bool text = section == TitleColumn || section == EncodingColumn || section == FolderColumn;
        return text ? Qt::AscendingOrder : Qt::DescendingOrder;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

LibraryFilterModel::LibraryFilterModel(LibraryModel& books, QObject* parent)
    : QSortFilterProxyModel(parent)
    , books_(books)
{
    setSortRole(LibraryModel::SortRole);
    setSourceModel(&books);
}

void LibraryFilterModel::SetFilterText(const QString& text)
{
    const QString filter = text.trimmed();
    if (filter == filter_)
        return;
    filter_ = filter;
    invalidateFilter();
}

const LibraryBook* LibraryFilterModel::BookAt(int row) const
{
    const QModelIndex source = mapToSource(index(row, 0));
    return source.isValid() ? &books_.BookAt(source.row()) : nullptr;
}

bool LibraryFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return filter_.isEmpty() || books_.TitleAt(sourceRow).contains(filter_, Qt::CaseInsensitive)
        || books_.FolderAt(sourceRow).contains(filter_, Qt::CaseInsensitive);
}

bool LibraryFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const int column = left.column();
    if (column == LibraryModel::TitleColumn || column == LibraryModel::FolderColumn) {
        const auto text = [&](const QModelIndex& index) -> const QString& {
            return column == LibraryModel::TitleColumn ? books_.TitleAt(index.row()) : books_.FolderAt(index.row());
        };
        return order_(text(left), text(right));
    }
    return QSortFilterProxyModel::lessThan(left, right);
}
