#pragma once

// What the skin manager does apart from its widgets: the sixteen fields it
// edits, the text of a saved skin file, reading the skin folder again
// without renumbering the table, and the picture paths it stores.

#include "core/skins/skin_table.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

enum class SkinFieldKind { Picture, FontName, FontSize, Colour };

// One edited setting. `pair` is, for a font field, the other field of its
// name-and-size pair (the font picker fills both); -1 for the rest.
struct SkinField {
    QStringView caption;  // shown beside the field and written after "//"
    QStringView key;
    SkinFieldKind kind;
    int pair;
};

inline constexpr int kSkinFieldCount = 16;

// In field order, the order of the lines of a saved skin file.
inline constexpr std::array<SkinField, kSkinFieldCount> kSkinFields{{
    {u"标题图片", u"MainPicture", SkinFieldKind::Picture, -1},
    {u"标题字体", u"MainFontName", SkinFieldKind::FontName, 2},
    {u"标题字体大小", u"MainFontSize", SkinFieldKind::FontSize, 1},
    {u"标题字体颜色", u"MainFontColor", SkinFieldKind::Colour, -1},
    {u"小标题颜色", u"MainLFontColor", SkinFieldKind::Colour, -1},
    {u"小标题大小", u"MainLFontSize", SkinFieldKind::FontSize, 6},
    {u"小标题字体", u"MainLFontName", SkinFieldKind::FontName, 5},
    {u"主题字体名称", u"FontName", SkinFieldKind::FontName, 8},
    {u"主题字体大小", u"FontSize", SkinFieldKind::FontSize, 7},
    {u"内容字体颜色", u"FontForeColer", SkinFieldKind::Colour, -1},
    {u"内容背景颜色", u"FontBackColor", SkinFieldKind::Colour, -1},
    {u"背景颜色", u"Backcolor", SkinFieldKind::Colour, -1},
    {u"背景2颜色", u"Backcolor2", SkinFieldKind::Colour, -1},
    {u"封面背景", u"FbackColor", SkinFieldKind::Colour, -1},
    {u"封面字符颜色", u"FForecolor", SkinFieldKind::Colour, -1},
    {u"封面图片", u"FbackPicture", SkinFieldKind::Picture, -1},
}};

// The field texts, in field order.
using SkinFieldTexts = std::array<QString, kSkinFieldCount>;

// The pictures a skin may name, in the classic filter form.
inline constexpr char16_t kSkinPictureFilter[] = u"Bmp文件|*.bmp|JPG文件|*.jpg|JPEG文件|*.jpeg";

// The seventeen lines of a skin file: the version line, then
// KEY=TEXT//CAPTION for every field, each line ended by CR LF. Texts are
// written as they stand.
QString BuildSkinFileText(const SkinFieldTexts& texts);

// Whether `name` can name a skin file the folder listing shows again: not
// empty, not starting with "." (hidden, "." and ".."), no "/", "\" or NUL.
bool IsSkinFileName(const QString& name);

// The path of the file `fileName` in the Skin folder of `folder`, built the
// way the skin loader builds it, so the two compare equal.
QString SkinFilePath(const QString& folder, const QString& fileName);

// The first field whose text a skin file cannot hold (a line is cut at its
// first "//", and a value ending in "/" runs into the caption's "//"), or -1.
int UnholdableSkinField(const SkinFieldTexts& texts);
// What the user is told about that field.
QString UnholdableSkinFieldText(int field);

// Writes skin `name` from the field texts to the Skin folder of the state
// folder and returns the entry as the file reads back (name, path, slot 0
// and one slot per line). Nothing when the name cannot be a file name, an
// existing file is read-only, a field holds what the file cannot, or the
// file cannot be written or read back. For the last two, which the user
// must hear of, `failure` receives the text to show; the old file stays
// whole. An installed reader's user folder gets its Skin folder at the
// first save; a portable folder without one saves nothing.
std::optional<SkinEntry> WriteSkinFile(const ReaderFolders& folders, const QString& name, const SkinFieldTexts& texts,
                                       QString* failure = nullptr);
// The same for a portable program folder.
std::optional<SkinEntry> WriteSkinFile(const QString& programFolder, const QString& name, const SkinFieldTexts& texts,
                                       QString* failure = nullptr);

// Puts a saved skin into the table: the first skin of the same name takes
// its path and settings, or it is appended. Returns its index.
int StoreSavedSkin(SkinTable& skins, SkinEntry saved);

// Reads the skin folders again without moving any skin: a skin whose file
// is still listed keeps its index and is read again (emptied when the file
// is no longer a skin), one whose shipped file a user's file of the same
// name now replaces keeps its index too, one whose file has gone keeps an
// empty slot, and a new file is appended. A file that cannot be read ends
// the run there and gives false; what was done before it stays.
bool RebuildSkinTable(SkinTable& skins, const ReaderFolders& folders);
// The same for a portable program folder, whose Skin/ is both.
bool RebuildSkinTable(SkinTable& skins, const QString& programFolder);

// A chosen picture as a skin stores it: under the program folder it becomes
// relative, "\" and the rest with "\" separators; elsewhere it stays whole.
QString RelativePicturePath(const QString& path, const QString& programFolder);

// The colour a colour field previews: its leading number (none counts as
// 0). Nothing when that number is not a colour (negative, above 16777215
// or out of the 32-bit range).
std::optional<std::int32_t> PreviewColourValue(const QString& text);
