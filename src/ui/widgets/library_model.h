#pragma once

#include "core/files/folder_listing.h"
#include "core/library/library_store.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QStringList>

#include <vector>

// How the library shows a time: today's and yesterday's by the clock
// ("今天 21:05", "昨天 08:30"), older ones by date and time; never: "—".
QString LibraryTimeText(const QDateTime& time, const QDateTime& now);

// The books of the library, one row each, in the columns of 书架. A book
// whose file is gone is greyed and says so; whether a file is there is
// asked only for rows shown, once each.
class LibraryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        TitleColumn,
        ProgressColumn,
        LastReadColumn,
        AddedColumn,
        ChaptersColumn,
        SizeColumn,
        EncodingColumn,
        FolderColumn,
        ColumnCount
    };
    // What a column sorts by: a number, or (for text) the text itself.
    static constexpr int SortRole = Qt::UserRole;

    explicit LibraryModel(QObject* parent = nullptr);

    void SetBooks(QList<LibraryBook> books);
    const LibraryBook& BookAt(int row) const { return books_[row]; }
    int RowOf(const QString& path) const;
    const QString& TitleAt(int row) const { return titles_[static_cast<std::size_t>(row)]; }
    const QString& FolderAt(int row) const { return folders_[static_cast<std::size_t>(row)]; }
    bool IsMissing(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant Text(int row, int column) const;
    QVariant SortKey(int row, int column) const;

    QList<LibraryBook> books_;
    // Worked out once per book: the filter reads them on every keystroke.
    std::vector<QString> titles_;
    std::vector<QString> folders_;
    mutable std::vector<signed char> missing_;  // -1: not looked at yet
    QDateTime now_;                             // "今天" and "昨天" are as of the last SetBooks
};

// 书架's rows in the order chosen by the header, filtered as the reader
// types: a book is shown when its title or folder holds the text, letters
// in either case. Titles sort naturally (第2卷 before 第10卷).
class LibraryFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit LibraryFilterModel(LibraryModel& books, QObject* parent = nullptr);

    void SetFilterText(const QString& text);
    // The book on a row of this model; null when there is none.
    const LibraryBook* BookAt(int row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    LibraryModel& books_;
    QString filter_;
    NaturalOrder order_;
};
