#include "core/books/reader_memory.h"

#include "core/files/plain_file.h"
#include "core/files/text_file_writer.h"
#include "core/text/file_names.h"
#include "core/text/line_reader.h"
#include "core/text/text_decoder.h"

#include <QFileInfo>

ReaderMemory::ReaderMemory(const ReaderFolders& folders)
    : iniPath_(folders.StateFile(QString::fromUtf16(kBookIniName)))
    , posPath_(folders.StateFile(QString::fromUtf16(kBookPosName)))
{}

void ReaderMemory::ReadOnce()
{
    if (read_)
        return;
    read_ = true;
    if (IsListedFile(iniPath_)) {
        const std::optional<QStringList> lines = ReadTextLines(iniPath_, EncodingGuess::Settings);
        ini_ = lines ? IniFile::Read : IniFile::Unreadable;
        iniWritten_ = QFileInfo(iniPath_).lastModified();
        if (lines)
            iniLines_ = *lines;
    }
    if (IsListedFile(posPath_)) {
        if (const std::optional<QStringList> lines = ReadTextLines(posPath_, EncodingGuess::Settings))
            posLines_ = *lines;
    }
}

QDateTime ReaderMemory::BookIniWritten()
{
    ReadOnce();
    return iniWritten_;
}

ReaderMemory::IniFile ReaderMemory::BookIni()
{
    ReadOnce();
    return ini_;
}

QStringList ReaderMemory::RecentPaths()
{
    ReadOnce();
    return ::RecentPaths(iniLines_);
}

RestoreLookup ReaderMemory::FindBook(const QString& path, RememberedBook& found)
{
    ReadOnce();
    return FindRememberedBook(iniLines_, AsReadBack(path), found);
}

std::optional<RememberedPosition> ReaderMemory::PositionOf(const QString& path)
{
    ReadOnce();
    return FindRememberedPosition(posLines_, AsReadBack(path));
}

std::optional<QString> ReaderMemory::LineStarting(const QStringList& lines, const QString& prefix)
{
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            return line;
    }
    return std::nullopt;
}

ReaderMemory::Saved ReaderMemory::Save(const ReaderState& state, qsizetype caret, const QList<int>& unread)
{
    ReadOnce();
    // The same lines FindBook and PositionOf read back for the path.
    QHash<int, QString> iniKept;
    QHash<int, QString> posKept;
    for (const int slot : unread) {
        const Book* book = state.Books.BookAt(slot);
        if (!book)
            continue;
        const QString name = QStringLiteral("Name=") + AsReadBack(book->Path);
        if (const std::optional<QString> line = LineStarting(iniLines_, name + u','))
            iniKept.insert(slot, *line);
        if (const std::optional<QString> line = LineStarting(posLines_, name + QStringLiteral(",id=")))
            posKept.insert(slot, *line);
    }
    const QString iniText = BookIniText(state, caret, iniKept);
    const QString posText = BookPosText(state, posKept);
    Saved saved{WriteGb18030File(iniPath_, iniText), WriteGb18030File(posPath_, posText)};
    // What is on disk now is what the next question should see.
    if (saved.bookIni) {
        ini_ = IniFile::Read;
        iniLines_ = AsReadBack(iniText).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    if (saved.bookPos)
        posLines_ = AsReadBack(posText).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return saved;
}
