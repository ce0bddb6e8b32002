#pragma once

#include "core/files/reader_folders.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <vector>

// One line of a skin file after the comment was cut and the line split at
// its first "=". A line without "=" leaves both empty.
struct SkinSetting {
    QString Key;
    QString Value;
};

struct SkinEntry {
    QString FilePath;  // the skin file, as built from the program folder
    QString Name;      // listed file name with every ".ini" removed
    // Slot 0 is always empty; slot i holds line i + 1 of the file, so a
    // setting's slot number is its line number less one.
    std::vector<SkinSetting> Settings;
};

// Every skin loaded since the last reset. Slot 0 holds no skin; skins
// occupy slots 1..Count() in the order they were loaded or added. A deque
// keeps entries in place when the table grows.
class SkinTable {
public:
    SkinTable() { Reset(); }

    int Count() const { return static_cast<int>(slots_.size()) - 1; }
    bool IsSkin(int index) const { return index >= 1 && index <= Count(); }
    SkinEntry& operator[](int index) { return slots_.at(index); }
    const SkinEntry& operator[](int index) const { return slots_.at(index); }

    // Appends `entry` after the last skin and returns its index.
    int Append(SkinEntry entry);
    // Back to the empty slot 0 alone.
    void Reset();

private:
    std::deque<SkinEntry> slots_;
};

inline constexpr char16_t kSkinVersionLine[] = u"[Version1.0]";
inline constexpr char16_t kSkinExtension[] = u".ini";
inline constexpr char16_t kSkinFolderName[] = u"Skin";

// Names of the skin files in `skinFolder`: regular, visible files matching
// "*.ini" in any capitals, in natural order (skin2 before skin10, case
// ignored). Empty when the folder does not exist.
QStringList ListSkinFiles(const QString& skinFolder);

enum class SkinFileResult {
    Added,       // a skin was appended to the table
    NotASkin,    // empty, or the first line is not the version line
    Unreadable,  // not a plain file, or it could not be opened or read to its end
};

// Parses the skin file at `path` and appends it to `skins` when it is one.
// `listedName` is the file's name as the folder listing gave it; the skin's
// name is that name with every ".ini" removed.
SkinFileResult LoadSkinFile(SkinTable& skins, const QString& path, const QString& listedName);

// A skin file as the loader takes it.
struct SkinFile {
    QString listedName;  // the name the folder listing gave it
    QString path;
    QString replaces;  // the shipped file a user's skin of the same name stands in for, or empty
};

// The skin's name for a listed file name: every ".ini" removed.
QString SkinNameOf(const QString& listedName);

// The skin files of the shipped skin folder (data/Skin) and of the user's
// (state/Skin), in the natural order of their names, as if the user's were
// laid over the shipped folder: a user's skin replaces every shipped skin
// of the same name. With one folder for both, that folder's listing.
std::vector<SkinFile> ListSkinFiles(const ReaderFolders& folders);

// Appends every skin of ListSkinFiles(folders) to `skins`, in that order.
// The table is not cleared first. A file that cannot be read ends the run
// there and gives false; skins appended before it stay.
bool LoadSkinFolder(SkinTable& skins, const ReaderFolders& folders);
// The same for a portable program folder, whose Skin/ is both.
bool LoadSkinFolder(SkinTable& skins, const QString& programFolder);

// The value of `key` in skin `skinIndex`, where 0 stands for `currentSkin`.
// Empty when that index holds no skin or the skin does not set the key.
// Keys compare exactly; the first line with the key wins.
QString GetSkinValue(const SkinTable& skins, std::uint8_t currentSkin, const QString& key, int skinIndex);
