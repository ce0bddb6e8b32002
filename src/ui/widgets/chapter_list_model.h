#pragma once

#include "core/books/book_contents.h"
#include "core/books/reader_state.h"

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Whether a chapter matches what the reader typed (`filter`, trimmed): its
// title contains the text, letters in either case, or the text is a number
// (half- or full-width digits) that the chapter's number begins with.
bool ChapterMatches(int chapter, const QString& title, const QString& filter);

// The chapters of the current book that match a filter, one row each,
// shown as in the chapter menu: the chapter's number, a TAB and its title
// (indented under a volume). A filter that a
// volume's title matches lists all its chapters.
// A book without a chapter list has no rows. The list follows the book
// store when asked (Sync): chapters that arrive while the book still loads
// are appended, and another current book replaces the list.
class ChapterListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ChapterListModel(const ReaderState& state, QObject* parent = nullptr);

    // Brings the rows in line with the current book. True when the list was
    // rebuilt for another book; chapters appended or retitled do not count.
    bool Sync();
    // Lists the current book's chapters that match `filter`.
    void SetFilter(const QString& filter);
    const QString& Filter() const { return filter_; }

    // The book slot listed (0 for none).
    int ListedBook() const { return book_; }
    // The chapter on `row`, or -1 when there is no such row.
    int ChapterAt(int row) const;
    // The row of `chapter`, or -1 when it is not listed.
    int RowOf(int chapter) const;
    // The chapter whose number the filter is, when it is listed; else -1.
    int NamedChapter() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void Rebuild();
    // The title listed for `chapter`, the next one looked at, when it matches.
    std::optional<QString> Listed(const Book& book, int chapter);

    const ReaderState& state_;
    QString filter_;
    int book_ = 0;   // slot listed
    int known_ = 0;  // chapters of that book looked at so far
    QString lastTitle_;
    std::vector<int> rows_;     // chapter numbers, ascending
    QStringList listedTitles_;  // one for each row, as shown
    ContentsTitles titles_;     // the volume the chapters looked at are in
};
