#pragma once

#include <QString>

class ReaderView;

// Draws the title panel (book name with its shadow, chapter title) and sets
// the fonts, colours and pictures of the main and cover windows from the
// current skin. Each setting stands alone: one that is missing or unusable
// leaves its target as it was.
void ApplySkin(ReaderView& view);

// The file a skin's picture setting names: the path as written ("\" read as
// "/"), else the same path under the program folder. Empty when neither exists.
QString ResolveSkinPicture(const QString& setting, const QString& programFolder);
