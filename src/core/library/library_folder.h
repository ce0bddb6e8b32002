#pragma once

#include "core/library/library_store.h"

#include <QList>
#include <QString>

#include <atomic>

// The books of a folder and of every folder inside it, as the library adds
// them: each .txt file (any capitals; plain, visible files) with its size
// and nothing read from it, so that a folder of thousands of books is added
// in seconds. Folders reached again through a link are not walked twice.
// Stops early, with what it has, once `stop` is set.
QList<LibraryBook> BooksInFolder(const QString& folder, const std::atomic_bool* stop = nullptr);
