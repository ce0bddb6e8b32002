#pragma once

#include <QString>

// Hands a file to the system text editor without waiting for it. The path
// goes over as one argument, never through a shell.
class TextEditorLauncher {
public:
    virtual ~TextEditorLauncher() = default;
    // False when no editor could be started.
    virtual bool Launch(const QString& path) = 0;
};

// notepad.exe on Windows; elsewhere the desktop's application for text
// files, or else the first of the usual editors that is installed.
class SystemTextEditor : public TextEditorLauncher {
public:
    bool Launch(const QString& path) override;
};
