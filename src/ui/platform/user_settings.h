#pragma once

#include "core/files/reader_folders.h"

#include <QSettings>

#include <memory>

// The user's own settings of the windows (the main window's place, reading
// comfort) in an INI file of the state folder, apart from book.ini and
// book.pos, which keep exactly what they always held.
std::unique_ptr<QSettings> UserSettings(const ReaderFolders& folders);

inline constexpr char16_t kUserSettingsName[] = u"reader.conf";
