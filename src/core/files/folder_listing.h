#pragma once

#include <QCollator>
#include <QString>
#include <QStringList>

// Names of the plain files in `folder` whose names end in `extension`
// (".txt", ".ini") in any capitals: regular, visible files only, sorted
// naturally (第2卷 before 第10卷, case ignored). Empty when the folder does
// not exist.
QStringList ListPlainFiles(const QString& folder, const QString& extension);

// The natural order of file names that the listings use: numbers count by
// value, case is ignored, and names equal but for case fall back to code
// order, so the order never depends on the listing's.
class NaturalOrder {
public:
    NaturalOrder();
    bool operator()(const QString& a, const QString& b) const;

private:
    QCollator collator_;
};
