#include "ui/widgets/chapter_list_model.h"

#include <algorithm>

namespace {

// Full-width digits become ASCII; the filter is a number only when every
// character is a digit.
QString AsNumber(const QString& filter)
{
    QString digits;
    digits.reserve(filter.size());
    for (const QChar c : filter) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digits += c;
        else if (u >= u'０' && u <= u'９')
            digits += QChar(u - u'０' + u'0');
        else
            return {};
    }
    return digits;
}

bool HasChapterList(const Book& book)
{
    return book.LastChapter() > 0 || !book.Chapters[0].Title.isEmpty();
}

}  // namespace

bool ChapterMatches(int chapter, const QString& title, const QString& filter)
{
    if (filter.isEmpty())
        return true;
    if (title.contains(filter, Qt::CaseInsensitive))
        return true;
    const QString digits = AsNumber(filter);
    return !digits.isEmpty() && QString::number(chapter).startsWith(digits);
}

ChapterListModel::ChapterListModel(const ReaderState& state, QObject* parent)
    : QAbstractListModel(parent)
    , state_(state)
{
    Rebuild();
}

std::optional<QString> ChapterListModel::Listed(const Book& book, int chapter)
{
    // Taking the same chapter again gives the same title: the last one is
    // taken again when it is retitled.
    QString title = titles_.Next(book.Chapters[chapter]);
    if (!HasChapterList(book))
        return std::nullopt;
    // A volume's title found lists all its chapters.
    if (ChapterMatches(chapter, book.Chapters[chapter].Shown(), filter_)
        || (!filter_.isEmpty() && titles_.Volume().contains(filter_, Qt::CaseInsensitive)))
        return title;
    return std::nullopt;
}

void ChapterListModel::Rebuild()
{
    beginResetModel();
    book_ = state_.Books.IsBook(state_.CurrentBook) ? state_.CurrentBook : 0;
    rows_.clear();
    titles_ = {};
    listedTitles_.clear();
    known_ = 0;
    lastTitle_.clear();
    if (book_ != 0) {
        const Book& book = state_.Books[book_];
        known_ = book.LastChapter() + 1;
        lastTitle_ = book.Chapters.back().Title;
        for (int j = 0; j < known_; ++j) {
            if (std::optional<QString> title = Listed(book, j)) {
                rows_.push_back(j);
                listedTitles_.push_back(std::move(*title));
            }
        }
    }
    endResetModel();
}

bool ChapterListModel::Sync()
{
    const int current = state_.Books.IsBook(state_.CurrentBook) ? state_.CurrentBook : 0;
    if (current != book_) {
        Rebuild();
        return true;
    }
    if (book_ == 0)
        return false;
    const Book& book = state_.Books[book_];
    const int count = book.LastChapter() + 1;
    if (count < known_) {  // books only grow; start afresh all the same
        Rebuild();
        return false;
    }
    if (count == known_ && book.Chapters.back().Title == lastTitle_)
        return false;

    // Of the chapters looked at, only the last can have been retitled since
    // (a heading that follows another replaces its title), and only it can
    // have joined a list that was empty for want of headings.
    const int last = known_ - 1;
    const bool wasListed = !rows_.empty() && rows_.back() == last;
    std::optional<QString> listed = Listed(book, last);
    const int lastRow = static_cast<int>(rows_.size()) - 1;
    if (wasListed && !listed) {
        beginRemoveRows(QModelIndex(), lastRow, lastRow);
        rows_.pop_back();
        listedTitles_.pop_back();
        endRemoveRows();
    } else if (wasListed) {
        listedTitles_.back() = *listed;
        emit dataChanged(index(lastRow), index(lastRow));
    }
    std::vector<int> added;
    QStringList addedTitles;
    if (listed && !wasListed) {
        added.push_back(last);
        addedTitles.append(*listed);
    }
    for (int j = known_; j < count; ++j) {
        if (std::optional<QString> title = Listed(book, j)) {
            added.push_back(j);
            addedTitles.append(std::move(*title));
        }
    }
    if (!added.empty()) {
        const int first = static_cast<int>(rows_.size());
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
        rows_.insert(rows_.end(), added.begin(), added.end());
        listedTitles_.append(addedTitles);
        endInsertRows();
    }
    known_ = count;
    lastTitle_ = book.Chapters.back().Title;
    return false;
}

void ChapterListModel::SetFilter(const QString& filter)
{
    filter_ = filter.trimmed();
    Rebuild();
}

int ChapterListModel::ChapterAt(int row) const
{
    return row >= 0 && row < rowCount() ? rows_[row] : -1;
}

int ChapterListModel::RowOf(int chapter) const
{
    const auto found = std::lower_bound(rows_.begin(), rows_.end(), chapter);
    return found != rows_.end() && *found == chapter ? static_cast<int>(found - rows_.begin()) : -1;
}

int ChapterListModel::NamedChapter() const
{
    const QString digits = AsNumber(filter_);
    bool ok = false;
    const int chapter = digits.toInt(&ok);
    // "05" names no chapter; "5" does.
    return ok && QString::number(chapter) == digits && RowOf(chapter) >= 0 ? chapter : -1;
}

int ChapterListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ChapterListModel::data(const QModelIndex& index, int role) const
{
    const int chapter = ChapterAt(index.row());
    if (chapter < 0 || role != Qt::DisplayRole)
        return {};
    // The rows are the listed book's, not the current one's, until the next
    // Sync; books and chapters are never removed.
    return QString::number(chapter) + u'\t' + listedTitles_[index.row()];
}
