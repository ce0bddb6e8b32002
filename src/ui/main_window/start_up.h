#pragma once

#include "core/files/reader_folders.h"

#include <QString>
#include <QStringList>

class LibraryStore;
class MainWindow;

// The help document opened at start-up when it sits in the program folder.
inline constexpr char16_t kHelpDocumentName[] = u"热列庆祝中华人民共和国成立60周年.txt";

// The built-in help shown when there is no help document, lines joined by
// CR LF, without a line break after the last. Its closing block says where
// book.ini is kept.
QString BuiltInHelpText(const ReaderFolders& folders);

// Start-up after the window exists: the skins and the default skin "言情",
// the recent files, the help document or the built-in help with its banner,
// then the window is shown. With `books` named (the command line), the
// window is shown and they are opened, in order, instead of the help.
void StartUp(MainWindow& window, const QStringList& books = {});
// The book read most lately whose file is still there; empty when none.
QString LastBookRead(const LibraryStore& library);

// Appends every skin of the skin folder to the skin table and, while the
// skin menu holds no skin entries yet, one menu entry per skin.
void LoadSkins(MainWindow& window);

// Paints the banner of the built-in help on the title panel.
void PaintHelpBanner(MainWindow& window);
