#include "core/skins/skin_editing.h"

#include "core/files/text_file_writer.h"
#include "core/skins/skin_values.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

bool IsSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

// An existing file that may not be replaced: one this process may not
// write, or one without any write permission at all (which the superuser
// could still write, but which its owner marked read-only).
bool IsReadOnly(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    constexpr QFile::Permissions kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !info.isWritable() || !(info.permissions() & kAnyWrite);
}

SkinEntry EmptySlot()
{
    SkinEntry entry;
    entry.Settings.emplace_back();
    return entry;
}

// The first skin whose file is `path`, or 0.
int FindSkinByPath(const SkinTable& skins, const QString& path)
{
    for (int i = 1; i <= skins.Count(); ++i) {
        if (!skins[i].FilePath.isEmpty() && QDir::cleanPath(skins[i].FilePath) == path)
            return i;
    }
    return 0;
}

}  // namespace

QString BuildSkinFileText(const SkinFieldTexts& texts)
{
    QString text = QString::fromUtf16(kSkinVersionLine);
    for (int i = 0; i < kSkinFieldCount; ++i) {
        const SkinField& field = kSkinFields[i];
        text.append(kLineEnd).append(field.key).append(u'=').append(texts[i]).append(u"//").append(field.caption);
    }
    return text + kLineEnd;
}

bool IsSkinFileName(const QString& name)
{
    // A name starting with "." would make a hidden file, which the skin
    // folder listing never shows: the skin would be gone at the next start.
    if (name.isEmpty() || name.startsWith(u'.'))
        return false;
    return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(u'\0'));
}

QString SkinFilePath(const QString& folder, const QString& fileName)
{
    return QDir(folder).filePath(QString::fromUtf16(kSkinFolderName) + u'/' + fileName);
}

int UnholdableSkinField(const SkinFieldTexts& texts)
{
    for (int i = 0; i < kSkinFieldCount; ++i) {
        // A line is cut at its first "//", and a value ending in "/" runs
        // into the "//" of the caption.
        if (texts[i].contains(u"//") || texts[i].endsWith(u'/'))
            return i;
    }
    return -1;
}

QString UnholdableSkinFieldText(int field)
{
    return QStringLiteral("“") + kSkinFields.at(field).caption.toString()
        + QStringLiteral("”的内容不能含有“//”，也不能以“/”结尾，皮肤文件保存不了这样的内容。请修改后再保存。");
}

std::optional<SkinEntry> WriteSkinFile(const ReaderFolders& folders, const QString& name, const SkinFieldTexts& texts,
                                       QString* failure)
{
    auto fail = [failure](const QString& text) {
        if (failure)
            *failure = text;
        return std::nullopt;
    };
    if (!IsSkinFileName(name))
        return std::nullopt;
    if (const int field = UnholdableSkinField(texts); field >= 0)
        return fail(UnholdableSkinFieldText(field));
    const QString fileName = name + QString::fromUtf16(kSkinExtension);
    const QString path = SkinFilePath(folders.state, fileName);
    if (!folders.IsPortable() && !QDir().mkpath(QFileInfo(path).path()))
        return std::nullopt;
    // A save file would replace a read-only file through its folder; the
    // user marked it so that it stays.
    if (IsReadOnly(path))
        return std::nullopt;
    if (const FileWriteResult written = WriteGb18030File(path, BuildSkinFileText(texts)); !written)
        return fail(QStringLiteral("皮肤文件无法保存:\n") + QDir::toNativeSeparators(path) + QStringLiteral("\n原因: ")
                    + written.reason);

    // Read back with the loader, so the table holds what a restart would.
    SkinTable written;
    if (LoadSkinFile(written, path, fileName) != SkinFileResult::Added)
        return std::nullopt;
    SkinEntry entry = std::move(written[1]);
    entry.Name = name;
    return entry;
}

std::optional<SkinEntry> WriteSkinFile(const QString& programFolder, const QString& name, const SkinFieldTexts& texts,
                                       QString* failure)
{
    return WriteSkinFile(ReaderFolders::Portable(programFolder), name, texts, failure);
}

int StoreSavedSkin(SkinTable& skins, SkinEntry saved)
{
    for (int i = 1; i <= skins.Count(); ++i) {
        if (skins[i].Name == saved.Name) {
            skins[i] = std::move(saved);
            return i;
        }
    }
    return skins.Append(std::move(saved));
}

bool RebuildSkinTable(SkinTable& skins, const ReaderFolders& folders)
{
    // The whole list is taken before the first file is read.
    const std::vector<SkinFile> files = ListSkinFiles(folders);
    QSet<QString> listed;
    for (const SkinFile& file : files) {
        listed.insert(QDir::cleanPath(file.path));
        if (!file.replaces.isEmpty())
            listed.insert(QDir::cleanPath(file.replaces));
    }

    for (int i = 1; i <= skins.Count(); ++i) {
        if (!listed.contains(QDir::cleanPath(skins[i].FilePath)))
            skins[i] = EmptySlot();
    }

    for (const SkinFile& file : files) {
        SkinTable read;
        const SkinFileResult result = LoadSkinFile(read, file.path, file.listedName);
        if (result == SkinFileResult::Unreadable)
            return false;
        int slot = FindSkinByPath(skins, QDir::cleanPath(file.path));
        if (slot == 0 && !file.replaces.isEmpty())
            slot = FindSkinByPath(skins, QDir::cleanPath(file.replaces));
        if (result == SkinFileResult::Added) {
            if (slot != 0)
                skins[slot] = std::move(read[1]);
            else
                skins.Append(std::move(read[1]));
        } else if (slot != 0) {
            skins[slot] = EmptySlot();
        }
    }
    return true;
}

bool RebuildSkinTable(SkinTable& skins, const QString& programFolder)
{
    return RebuildSkinTable(skins, ReaderFolders::Portable(programFolder));
}

QString RelativePicturePath(const QString& path, const QString& programFolder)
{
    if (programFolder.isEmpty())
        return path;
    QString folder = programFolder;
    while (!folder.isEmpty() && IsSeparator(folder.back()))
        folder.chop(1);
    // The folder must end where a separator follows, so a sibling such as
    // "/opt/reader2" is not taken for "/opt/reader".
    if (path.size() <= folder.size() + 1 || !path.startsWith(folder, Qt::CaseSensitive)
        || !IsSeparator(path[folder.size()]))
        return path;
    return path.sliced(folder.size()).replace(u'/', u'\\');
}

std::optional<std::int32_t> PreviewColourValue(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    auto skipDigits = [&] {
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            ++i;
            digits = true;
        }
    };
    skipDigits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        skipDigits();
    }
    if (!digits)
        return 0;
    const std::optional<std::int32_t> value = ParseSkinColour(text.sliced(start, i - start));
    if (!value || *value < 0 || *value > 0xFFFFFF)
        return std::nullopt;
    return value;
}
