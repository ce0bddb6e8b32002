#pragma once

#include <QString>
#include <QStringView>

// Writes `text` as GB18030 through a save file, so the old file stays
// whole until the new one is complete. The caller puts in the CR LFs.
bool WriteGb18030File(const QString& path, QStringView text);
