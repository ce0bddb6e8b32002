#pragma once

#include "ui/widgets/pane_layouts.h"

#include <QString>

class QSettings;

// What the reader chose for comfort in 设置: a font family over the skin's
// (empty: the skin's), and how the page sets its text.
struct ReadingSettings {
    QString fontFamily;
    PaneTypography typography;
    // At start-up, the book read last at its place instead of the help document.
    bool continueReading = false;
    bool operator==(const ReadingSettings&) const = default;
};

ReadingSettings LoadReadingSettings(const QSettings& settings);
void SaveReadingSettings(QSettings& settings, const ReadingSettings& chosen);
