#include "ui/platform/user_settings.h"

std::unique_ptr<QSettings> UserSettings(const ReaderFolders& folders)
{
    return std::make_unique<QSettings>(folders.StateFile(QString::fromUtf16(kUserSettingsName)), QSettings::IniFormat);
}
