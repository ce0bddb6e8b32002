#pragma once

#include <QString>

// The file a skin's picture setting names: the path as written ("\" read as
// "/"), else the same path under the program folder. Empty when neither exists.
QString ResolveSkinPicture(const QString& setting, const QString& programFolder);
