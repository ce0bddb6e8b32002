#pragma once

#include <QString>
#include <QStringList>

// Names of the plain files in `folder` whose names end in `extension`
// (".txt", ".ini") in any capitals: regular, visible files only, sorted
// naturally (第2卷 before 第10卷, case ignored). Empty when the folder does
// not exist.
QStringList ListPlainFiles(const QString& folder, const QString& extension);
