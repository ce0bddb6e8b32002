#pragma once

#include "core/books/reader_state.h"
#include "core/files/text_file_writer.h"
#include "core/text/text_encoding.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// book.pos, the second settings file beside book.ini: where each open book
// was being read inside its chapter, and the encoding chosen for it. One
// line per book that book.ini holds, in store order,
// "Name=<path>,id=<chapter>,Pos=<offset>,Enc=<encoding>", every line ended
// by CR LF, written in GB18030. book.ini itself stays as it always was.
inline constexpr char16_t kBookPosName[] = u"book.pos";

// The whole file text for the books in the store. "id=" is the book's
// ChapterIndex, as in book.ini; "Pos=" where the book was left in that
// chapter (0 when it was left elsewhere); "Enc=" the stored name of the
// chosen encoding, empty for automatic. A book book.ini leaves out (see
// CanBeRemembered) is left out here too. The book in slot s of `keptLines`
// is written as that line, as it was read.
QString BookPosText(const ReaderState& state, const QHash<int, QString>& keptLines = {});

// Writes book.pos through a save file: a failed write leaves the old file
// whole and says why.
FileWriteResult WriteBookPos(const QString& path, const ReaderState& state);

// What book.pos remembers of one book. A field that cannot be read back
// counts as not there: no place without a readable chapter and offset, and
// automatic for a missing or unknown encoding.
struct RememberedPosition {
    std::optional<ReadingPlace> place;
    EncodingChoice encoding = EncodingChoice::Automatic;
};

// The first line for exactly `path` ("Name=<path>,id=" starts it);
// nothing when no line is for it.
std::optional<RememberedPosition> FindRememberedPosition(const QStringList& lines, const QString& path);
