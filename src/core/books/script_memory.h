#pragma once

#include "core/files/reader_folders.h"
#include "core/files/text_file_writer.h"
#include "core/text/script_converter.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The script each book is shown in (繁简转换), in a file of the state folder
// beside book.ini, which stays as it was:
//   book.script  "<t2s|s2t> TAB <path>" a line, GB18030, for the books
//                shown converted; a book shown as its file has it has none
// Read once, at the first question, and written at each change.
class ScriptMemory {
public:
    explicit ScriptMemory(const ReaderFolders& folders);

    ScriptChoice ChoiceFor(const QString& path);
    FileWriteResult Choose(const QString& path, ScriptChoice choice);

private:
    void ReadOnce();

    QString path_;
    bool read_ = false;
    QHash<QString, ScriptChoice> choices_;  // path -> script, never None
    QStringList order_;                     // paths in file order
};

inline constexpr char16_t kBookScriptName[] = u"book.script";
