#include "ui/dialogs/reading_settings.h"

#include <QSettings>

#include <algorithm>

ReadingSettings LoadReadingSettings(const QSettings& settings)
{
    // Values edited by hand out of range are brought back into it.
    ReadingSettings chosen;
    PaneTypography& type = chosen.typography;
    chosen.fontFamily = settings.value(QStringLiteral("reading/fontFamily")).toString();
    type.lineSpacingPercent =
        std::clamp(settings.value(QStringLiteral("reading/lineSpacing"), type.lineSpacingPercent).toInt(), 80, 300);
    type.paragraphSpacing = std::clamp(
        settings.value(QStringLiteral("reading/paragraphSpacing"), type.paragraphSpacing).toDouble(), 0.0, 3.0);
    type.sideMargin =
        std::clamp(settings.value(QStringLiteral("reading/margin"), type.sideMargin).toDouble(), 0.0, 400.0);
    type.lineCharacters =
        std::clamp(settings.value(QStringLiteral("reading/lineCharacters"), type.lineCharacters).toInt(), 0, 200);
    type.justified = settings.value(QStringLiteral("reading/justified"), type.justified).toBool();
    type.firstLineIndent = std::clamp(
        settings.value(QStringLiteral("reading/firstLineIndent"), type.firstLineIndent).toDouble(), -1.0, 8.0);
    chosen.continueReading = settings.value(QStringLiteral("reading/continueAtStart"), false).toBool();
    return chosen;
}

void SaveReadingSettings(QSettings& settings, const ReadingSettings& chosen)
{
    const PaneTypography& type = chosen.typography;
    settings.setValue(QStringLiteral("reading/fontFamily"), chosen.fontFamily);
    settings.setValue(QStringLiteral("reading/lineSpacing"), type.lineSpacingPercent);
    settings.setValue(QStringLiteral("reading/paragraphSpacing"), type.paragraphSpacing);
    settings.setValue(QStringLiteral("reading/margin"), type.sideMargin);
    settings.setValue(QStringLiteral("reading/lineCharacters"), type.lineCharacters);
    settings.setValue(QStringLiteral("reading/justified"), type.justified);
    settings.setValue(QStringLiteral("reading/firstLineIndent"), type.firstLineIndent);
    settings.setValue(QStringLiteral("reading/continueAtStart"), chosen.continueReading);
}
