#pragma once

#include "core/books/book_positions.h"
#include "core/books/book_settings.h"
#include "core/files/reader_folders.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What the reader remembers between runs: book.ini (each open book's path,
// skin and chapter, and so the recent-file list) and book.pos (the place
// inside the chapter and the chosen encoding). Both files are read once, on
// the first question, and written together at the close; nothing else
// reads or writes them.
class ReaderMemory {
public:
    explicit ReaderMemory(const ReaderFolders& folders);

    QString BookIniPath() const { return iniPath_; }
    QString BookPosPath() const { return posPath_; }

    enum class IniFile {
        Missing,
        Unreadable,  // there, but its text cannot be read
        Read,
    };
    IniFile BookIni();

    // When the book.ini read was written; invalid when there was none.
    QDateTime BookIniWritten();

    // The recent-file list: book.ini's paths that name existing files.
    QStringList RecentPaths();

    // What book.ini remembers of `path`.
    RestoreLookup FindBook(const QString& path, RememberedBook& found);

    // What book.pos remembers of `path`.
    std::optional<RememberedPosition> PositionOf(const QString& path);

    struct Saved {
        FileWriteResult bookIni;
        FileWriteResult bookPos;
    };
    // Writes both files for the books in the store, each through a save
    // file, and remembers what was written. A book in `unread` (its reading
    // did not finish) is written as the files had it, where they had it:
    // closing early loses nothing the user had.
    Saved Save(const ReaderState& state, qsizetype caret, const QList<int>& unread = {});

private:
    void ReadOnce();
    // The first line of `lines` that starts with `prefix`, if any.
    static std::optional<QString> LineStarting(const QStringList& lines, const QString& prefix);

    QString iniPath_;
    QString posPath_;
    QDateTime iniWritten_;
    bool read_ = false;
    IniFile ini_ = IniFile::Missing;
    QStringList iniLines_;
    QStringList posLines_;
};
