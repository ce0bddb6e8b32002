#include "core/skins/skin_table.h"

#include "core/files/folder_listing.h"
#include "core/files/plain_file.h"
#include "core/text/chapter_heading.h"
#include "core/text/line_reader.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>

int SkinTable::Append(SkinEntry entry)
{
    // Lookups start at slot 1, so an entry needs its empty slot 0.
    if (entry.Settings.empty())
        entry.Settings.emplace_back();
    slots_.push_back(std::move(entry));
    return Count();
}

void SkinTable::Reset()
{
    slots_.clear();
    slots_.emplace_back();
    slots_.front().Settings.emplace_back();
}

namespace {

// One line after the version line: outer blanks off, a "//" comment cut
// (unless the line starts with it, which leaves a key that never matches),
// then split at the first "=".
SkinSetting ParseSettingLine(QStringView line)
{
    line = TrimSpaces(line);
    const qsizetype comment = line.indexOf(u"//");
    if (comment >= 1)
        line = line.first(comment);
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    return {TrimSpaces(line.first(equals)).toString(), TrimSpaces(line.sliced(equals + 1)).toString()};
}

}  // namespace

QStringList ListSkinFiles(const QString& skinFolder)
{
    return ListPlainFiles(skinFolder, QString::fromUtf16(kSkinExtension));
}

QString SkinNameOf(const QString& listedName)
{
    return QString(listedName).remove(QString::fromUtf16(kSkinExtension), Qt::CaseSensitive);
}

std::vector<SkinFile> ListSkinFiles(const ReaderFolders& folders)
{
    const QString folderName = QString::fromUtf16(kSkinFolderName);
    auto listing = [&](const QString& root) {
        const QDir folder(QDir(root).filePath(folderName));
        std::vector<SkinFile> files;
        for (const QString& name : ListSkinFiles(folder.path()))
            files.push_back({name, QDir(root).filePath(folderName + u'/' + name), {}});
        return files;
    };
    std::vector<SkinFile> shipped = listing(folders.data);
    if (folders.IsPortable())
        return shipped;

    // A user's skin takes the place of the shipped skins of its name.
    std::vector<SkinFile> files = listing(folders.state);
    QHash<QString, QString> firstShipped;  // skin name -> its first shipped file
    for (const SkinFile& file : shipped) {
        const QString name = SkinNameOf(file.listedName);
        if (!firstShipped.contains(name))
            firstShipped.insert(name, file.path);
    }
    QSet<QString> ownNames;
    for (SkinFile& own : files) {
        own.replaces = firstShipped.value(SkinNameOf(own.listedName));
        ownNames.insert(SkinNameOf(own.listedName));
    }
    for (SkinFile& file : shipped) {
        if (!ownNames.contains(SkinNameOf(file.listedName)))
            files.push_back(std::move(file));
    }
    const NaturalOrder order;
    std::stable_sort(files.begin(), files.end(),
                     [&](const SkinFile& a, const SkinFile& b) { return order(a.listedName, b.listedName); });
    return files;
}

SkinFileResult LoadSkinFile(SkinTable& skins, const QString& path, const QString& listedName)
{
    // A FIFO would block the open; anything not a plain file counts as unreadable.
    if (!IsListedFile(path))
        return SkinFileResult::Unreadable;
    TextFileReader reader;
    if (!reader.Open(path, EncodingGuess::Settings))
        return SkinFileResult::Unreadable;

    QStringView line;
    if (!reader.ReadLine(line))
        return reader.HasError() ? SkinFileResult::Unreadable : SkinFileResult::NotASkin;
    if (TrimSpaces(line) != QStringView(kSkinVersionLine))
        return SkinFileResult::NotASkin;

    SkinEntry entry;
    entry.FilePath = path;
    entry.Name = SkinNameOf(listedName);
    entry.Settings.emplace_back();
    while (reader.ReadLine(line))
        entry.Settings.push_back(ParseSettingLine(line));
    // A file that breaks off in the middle is not taken in half.
    if (reader.HasError())
        return SkinFileResult::Unreadable;
    skins.Append(std::move(entry));
    return SkinFileResult::Added;
}

bool LoadSkinFolder(SkinTable& skins, const ReaderFolders& folders)
{
    // The whole list is taken before the first file is parsed.
    for (const SkinFile& file : ListSkinFiles(folders)) {
        if (LoadSkinFile(skins, file.path, file.listedName) == SkinFileResult::Unreadable)
            return false;
    }
    return true;
}

bool LoadSkinFolder(SkinTable& skins, const QString& programFolder)
{
    return LoadSkinFolder(skins, ReaderFolders::Portable(programFolder));
}

QString GetSkinValue(const SkinTable& skins, std::uint8_t currentSkin, const QString& key, int skinIndex)
{
    const int index = skinIndex == 0 ? currentSkin : skinIndex;
    if (!skins.IsSkin(index))
        return {};
    const std::vector<SkinSetting>& settings = skins[index].Settings;
    for (std::size_t slot = 1; slot < settings.size(); ++slot) {
        if (settings[slot].Key == key)
            return settings[slot].Value;
    }
    return {};
}
