#pragma once

#include "core/books/reader_state.h"
#include "core/files/text_file_writer.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// book.ini: "[Version1.0]", then one line per open book
// "Name=<path>,Xcolor=<skin name>,id=<chapter>,SelStart=<caret>", every line
// ended by CR LF, written in GBK.
inline constexpr char16_t kBookIniName[] = u"book.ini";
inline constexpr char16_t kBookIniVersion[] = u"[Version1.0]";

// The whole file text for the books in the store. A book whose skin index
// names no skin is written with an empty skin name; a book whose path the
// format cannot hold (see CanBeRemembered) is left out. The book in slot s
// of `keptLines` is written as that line, as it was read.
QString BookIniText(const ReaderState& state, qsizetype caret, const QHash<int, QString>& keptLines = {});

// Whether a book line can hold `text` (a path or a skin name): a CR or LF
// in it (legal in Linux file names) would end the line early.
bool CanBeRemembered(const QString& text);

// Writes book.ini through a save file: a failed write leaves the old file
// whole and says why.
FileWriteResult WriteBookIni(const QString& path, const ReaderState& state, qsizetype caret);

// The recent-file list: the paths of the book lines that name existing
// files, in file order, each once. An empty line, or a line too short to
// hold a path field, ends the list; so does the kMaxRecentLines-th book line
// or the kMaxRecentFiles-th file: a book.ini grown huge by hand or by
// another program never makes a menu of thousands of items.
inline constexpr int kMaxRecentFiles = 255;  // as many books as a session holds
inline constexpr int kMaxRecentLines = 1000;
QStringList RecentPaths(const QStringList& lines);

// What book.ini remembers of one book.
struct RememberedBook {
    QString skinName;
    std::int32_t chapterIndex = 0;
};

enum class RestoreLookup {
    NoLine,      // no line for this path
    Unreadable,  // a line for this path whose fields cannot be read back
    Found,
};

// Looks for the first line whose path field is exactly `path`.
RestoreLookup FindRememberedBook(const QStringList& lines, const QString& path, RememberedBook& found);

// A decimal 32-bit integer with an optional sign and outer spaces.
std::optional<std::int32_t> ParseInt32(QStringView text);
