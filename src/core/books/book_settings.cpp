#include "core/books/book_settings.h"

#include "core/files/plain_file.h"
#include "core/files/text_file_writer.h"
#include "core/text/chapter_heading.h"

#include <QSet>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

}  // namespace

QString BookIniText(const ReaderState& state, qsizetype caret, const QHash<int, QString>& keptLines)
{
    QString text = QString::fromUtf16(kBookIniVersion);
    for (int slot = 1; slot <= state.Books.Count(); ++slot) {
        const Book& book = state.Books[slot];
        // A line break in the path would end the line early and add lines
        // of its own; the format cannot hold such a book, so it is left out.
        if (!CanBeRemembered(book.Path))
            continue;
        if (const auto kept = keptLines.constFind(slot); kept != keptLines.constEnd()) {
            text += kLineEnd + *kept;
            continue;
        }
        // A skin whose file name holds a line end cannot be named on the
        // book's line: the book is kept, without its skin.
        QString skinName = state.Skins.IsSkin(book.SkinIndex) ? state.Skins[book.SkinIndex].Name : QString();
        if (!CanBeRemembered(skinName))
            skinName.clear();
        text += kLineEnd + QStringLiteral("Name=") + book.Path + QStringLiteral(",Xcolor=") + skinName
            + QStringLiteral(",id=") + QString::number(book.ChapterIndex) + QStringLiteral(",SelStart=")
            + QString::number(caret);
    }
    return text + kLineEnd;
}

bool CanBeRemembered(const QString& text)
{
    return !text.contains(u'\r') && !text.contains(u'\n');
}

FileWriteResult WriteBookIni(const QString& path, const ReaderState& state, qsizetype caret)
{
    return WriteGb18030File(path, BookIniText(state, caret));
}

QStringList RecentPaths(const QStringList& lines)
{
    QStringList paths;
    QSet<QString> listed;
    int bookLines = 0;
    for (const QString& line : lines) {
        if (line == QStringView(kBookIniVersion))
            continue;
        // Reading stops at a line that has no path field to cut.
        const QStringView field = QStringView(line).left(line.indexOf(u','));
        if (field.size() < 5 || ++bookLines > kMaxRecentLines || paths.size() == kMaxRecentFiles)
            break;
        const QString path = field.sliced(5).toString();
        if (!listed.contains(path) && IsListedFile(ExistingPathFor(path))) {
            listed.insert(path);
            paths.append(path);
        }
    }
    return paths;
}

std::optional<std::int32_t> ParseInt32(QStringView text)
{
    text = TrimSpaces(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

RestoreLookup FindRememberedBook(const QStringList& lines, const QString& path, RememberedBook& found)
{
    // The path field must be the whole path: "甲.txt.bak" is not "甲.txt".
    const QString prefix = QStringLiteral("Name=") + path + u',';
    for (const QString& line : lines) {
        if (!line.startsWith(prefix))
            continue;
        const QStringList fields = line.sliced(prefix.size()).split(u',');
        if (fields.size() < 2 || fields[1].size() < 3)
            return RestoreLookup::Unreadable;
        const std::optional<std::int32_t> chapter = ParseInt32(QStringView(fields[1]).sliced(3));
        if (!chapter)
            return RestoreLookup::Unreadable;
        // Dropping 7 characters from a shorter skin field leaves no name.
        found.skinName = fields[0].size() < 7 ? QString() : fields[0].sliced(7);
        found.chapterIndex = *chapter;
        return RestoreLookup::Found;
    }
    return RestoreLookup::NoLine;
}
