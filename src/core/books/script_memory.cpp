#include "core/books/script_memory.h"

#include "core/books/book_settings.h"
#include "core/files/plain_file.h"
#include "core/text/file_names.h"
#include "core/text/line_reader.h"

namespace {

// OpenCC's names for the two conversions: short, and plain in any editor.
const QString kToSimplified = QStringLiteral("t2s");
const QString kToTraditional = QStringLiteral("s2t");

}  // namespace

ScriptMemory::ScriptMemory(const ReaderFolders& folders) : path_(folders.StateFile(QString::fromUtf16(kBookScriptName)))
{}

void ScriptMemory::ReadOnce()
{
    if (read_)
        return;
    read_ = true;
    if (!IsListedFile(path_))
        return;
    for (const QString& line : ReadTextLines(path_, EncodingGuess::Settings).value_or(QStringList())) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0 || tab + 1 == line.size())
            continue;
        // A line of another word (edited by hand, or from a later reader) is passed over.
        const QStringView word = QStringView(line).first(tab);
        const ScriptChoice choice = word == kToSimplified ? ScriptChoice::ToSimplified
            : word == kToTraditional                      ? ScriptChoice::ToTraditional
                                                          : ScriptChoice::None;
        if (choice == ScriptChoice::None)
            continue;
        const QString path = line.mid(tab + 1);
        if (!choices_.contains(path))
            order_.append(path);
        choices_.insert(path, choice);
    }
}

ScriptChoice ScriptMemory::ChoiceFor(const QString& path)
{
    ReadOnce();
    return choices_.value(AsReadBack(path), ScriptChoice::None);
}

FileWriteResult ScriptMemory::Choose(const QString& path, ScriptChoice choice)
{
    ReadOnce();
    const QString key = AsReadBack(path);
    if (choice == ScriptChoice::None) {
        choices_.remove(key);
        order_.removeAll(key);
    } else {
        if (!choices_.contains(key))
            order_.append(key);
        choices_.insert(key, choice);
    }
    QString text;
    for (const QString& book : order_) {
        if (CanBeRemembered(book))
            text += (choices_.value(book) == ScriptChoice::ToSimplified ? kToSimplified : kToTraditional) + u'\t' + book
                + QStringLiteral("\r\n");
    }
    return WriteGb18030File(path_, text);
}
