#include "core/books/book_positions.h"

#include "core/books/book_settings.h"

#include <limits>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Where `book` was left in its current chapter.
qsizetype OffsetInCurrentChapter(const Book& book)
{
    return book.Place.chapter == book.ChapterIndex && book.ChapterIndex >= 0 ? book.Place.offset : 0;
}

// A character offset as written: decimal digits and nothing else.
std::optional<qsizetype> ParseOffset(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    qsizetype value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9' || value > (std::numeric_limits<qsizetype>::max() - 9) / 10)
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The value of `field` after `key`, or nothing when the field is another.
std::optional<QStringView> Value(QStringView field, QStringView key)
{
    if (!field.startsWith(key))
        return std::nullopt;
    return field.sliced(key.size());
}

}  // namespace

QString BookPosText(const ReaderState& state, const QHash<int, QString>& keptLines)
{
    QString text;
    for (int slot = 1; slot <= state.Books.Count(); ++slot) {
        const Book& book = state.Books[slot];
        if (!CanBeRemembered(book.Path))
            continue;
        if (const auto kept = keptLines.constFind(slot); kept != keptLines.constEnd()) {
            text += *kept + kLineEnd;
            continue;
        }
        text += QStringLiteral("Name=") + book.Path + QStringLiteral(",id=") + QString::number(book.ChapterIndex)
            + QStringLiteral(",Pos=") + QString::number(OffsetInCurrentChapter(book)) + QStringLiteral(",Enc=")
            + EncodingSettingName(book.ChosenEncoding) + kLineEnd;
    }
    return text;
}

FileWriteResult WriteBookPos(const QString& path, const ReaderState& state)
{
    return WriteGb18030File(path, BookPosText(state));
}

std::optional<RememberedPosition> FindRememberedPosition(const QStringList& lines, const QString& path)
{
    // "id=" right after the path: the line of "甲.txt" is not the line of
    // "甲.txt,1.txt", nor that of "甲.txt.bak".
    const QString prefix = QStringLiteral("Name=") + path + QStringLiteral(",id=");
    for (const QString& line : lines) {
        if (!line.startsWith(prefix))
            continue;
        const QList<QStringView> fields = QStringView(line).sliced(prefix.size() - 3).split(u',');
        RememberedPosition found;
        const std::optional<QStringView> chapterText = Value(fields[0], u"id=");
        const std::optional<QStringView> offsetText =
            fields.size() > 1 ? Value(fields[1], u"Pos=") : std::optional<QStringView>();
        const std::optional<std::int32_t> chapter = chapterText ? ParseInt32(*chapterText) : std::nullopt;
        const std::optional<qsizetype> offset = offsetText ? ParseOffset(*offsetText) : std::nullopt;
        if (chapter && offset)
            found.place = ReadingPlace{*chapter, *offset};
        if (const std::optional<QStringView> name = fields.size() > 2 ? Value(fields[2], u"Enc=") : std::nullopt)
            found.encoding = EncodingChoiceFromSettingName(*name).value_or(EncodingChoice::Automatic);
        return found;
    }
    return std::nullopt;
}
