#include "ui/platform/text_editor.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

bool SystemTextEditor::Launch(const QString& path)
{
    const QStringList arguments = path.isEmpty() ? QStringList() : QStringList{path};
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("notepad.exe"), arguments);
#else
    // The desktop's own choice for text files first (it needs a file), then
    // the editors most desktops ship.
    if (!path.isEmpty()) {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (!opener.isEmpty() && QProcess::startDetached(opener, arguments))
            return true;
    }
    for (const char* editor :
         {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "xed", "pluma", "leafpad", "featherpad"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(editor));
        if (!program.isEmpty() && QProcess::startDetached(program, arguments))
            return true;
    }
    return false;
#endif
}
