#pragma once

#include <QDir>
#include <QString>

// Where the reader finds what ships with it and where it keeps what it
// writes. A portable reader (the build folder, or a copy of it) has both in
// the folder that holds the program; an installed one reads its data from
// the install prefix and writes only to the user's own data folder.
struct ReaderFolders {
    QString data;   // shipped and only read: Skin/, SImage/, the help document
    QString state;  // written: book.ini, and the skins the user saves (Skin/)

    static ReaderFolders Portable(const QString& programFolder) { return {programFolder, programFolder}; }

    // The folders of a program kept in `programFolder`, `userFolder` being
    // the user's data folder for the reader:
    // - a writable program folder that holds Skin/ is portable, when it is
    //   the user's own and nobody else may write in it;
    // - a read-only one that holds Skin/ is read, and the user's folder written;
    // - otherwise the shipped data is <prefix>/share/txtreader beside the
    //   program's bin/, and the user's folder is written;
    // - a writable program folder with no data anywhere stays portable.
    static ReaderFolders ForProgram(const QString& programFolder, const QString& userFolder);

    // Both in one folder: nothing is written outside it.
    bool IsPortable() const { return data == state; }

    QString DataFile(const QString& relative) const { return QDir(data).filePath(relative); }
    QString StateFile(const QString& relative) const { return QDir(state).filePath(relative); }
};

// The shipped data of an installed reader, relative to its program folder.
inline constexpr char16_t kInstalledDataFolder[] = u"../share/txtreader";
