#include "core/books/reader_memory.h"

#include "core/files/plain_file.h"
#include "core/text/line_reader.h"

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
        if (lines)
            iniLines_ = *lines;
    }
    if (IsListedFile(posPath_)) {
        if (const std::optional<QStringList> lines = ReadTextLines(posPath_, EncodingGuess::Settings))
            posLines_ = *lines;
    }
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
    return FindRememberedBook(iniLines_, path, found);
}

std::optional<RememberedPosition> ReaderMemory::PositionOf(const QString& path)
{
    ReadOnce();
    return FindRememberedPosition(posLines_, path);
}

ReaderMemory::Saved ReaderMemory::Save(const ReaderState& state, qsizetype caret)
{
    ReadOnce();
    Saved saved{WriteBookIni(iniPath_, state, caret), WriteBookPos(posPath_, state)};
    // What is on disk now is what the next question should see.
    if (saved.bookIni) {
        ini_ = IniFile::Read;
        iniLines_ = BookIniText(state, caret).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    if (saved.bookPos)
        posLines_ = BookPosText(state).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return saved;
}
