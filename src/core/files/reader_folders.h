#pragma once

#include <QDir>
#include <QString>

// Where the reader finds what ships with it and where it keeps what it
// writes. A portable reader (the build folder, or a copy of it) has both in
// the folder that holds the program.
struct ReaderFolders {
    QString data;   // shipped and only read: Skin/, SImage/, the help document
    QString state;  // written: book.ini, and the skins the user saves (Skin/)

    static ReaderFolders Portable(const QString& programFolder) { return {programFolder, programFolder}; }

    QString DataFile(const QString& relative) const { return QDir(data).filePath(relative); }
    QString StateFile(const QString& relative) const { return QDir(state).filePath(relative); }
};
