#include "core/skins/skin_editing.h"
#include "support/full_disk.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString SkinText(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// A program folder with a Skin folder of real GBK skin files.
class SkinFolderTest : public ::testing::Test {
protected:
    void SetUp() override { QDir(program.Root()).mkpath(QStringLiteral("Skin")); }

    QString WriteSkin(const QString& name, const QString& fontSize)
    {
        return program.WriteGbk(QStringLiteral("Skin/") + name + QStringLiteral(".ini"),
                                SkinText({QStringLiteral("[Version1.0]"), QStringLiteral("FontSize=") + fontSize}));
    }
    QString Value(int index, const QString& key) const { return GetSkinValue(skins, 0, key, index); }

    TempFolder program;
    SkinTable skins;
};

SkinFieldTexts SampleTexts()
{
    SkinFieldTexts texts;
    texts[0] = QStringLiteral("\\SImage\\2.jpg");
    texts[1] = QStringLiteral("隶书");
    texts[2] = QStringLiteral("36");
    texts[3] = QStringLiteral("255");
    texts[7] = QStringLiteral("宋体");
    texts[8] = QStringLiteral("10.5");
    texts[15] = QStringLiteral("/home/读者/封面.jpg");
    return texts;
}

TEST_F(SkinFolderTest, SavedFileIsGbkBytesAndReadsBackWithTheSameValues)
{
    const SkinFieldTexts texts = SampleTexts();
    const std::optional<SkinEntry> saved = WriteSkinFile(program.Root(), QStringLiteral("新皮肤"), texts);
    ASSERT_TRUE(saved);

    const QString path = program.Path(QStringLiteral("Skin/新皮肤.ini"));
    EXPECT_EQ(ReadBytes(path), EncodeGb18030(BuildSkinFileText(texts)));
    EXPECT_EQ(saved->Name, QStringLiteral("新皮肤"));
    EXPECT_EQ(QDir::cleanPath(saved->FilePath), QDir::cleanPath(path));
    ASSERT_EQ(saved->Settings.size(), 17u);

    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    ASSERT_EQ(skins.Count(), 1);
    for (int i = 0; i < kSkinFieldCount; ++i) {
        const QString key = kSkinFields[i].key.toString();
        EXPECT_EQ(Value(1, key), texts[i]) << key.toStdString();
        EXPECT_EQ(saved->Settings[i + 1].Key, key);
        EXPECT_EQ(saved->Settings[i + 1].Value, texts[i]);
    }
}

TEST_F(SkinFolderTest, ReturnedEntryHoldsWhatARestartWouldRead)
{
    // Outer blanks are dropped on reading, so the table must not keep the
    // raw field text.
    SkinFieldTexts texts;
    texts[2] = QStringLiteral("  20  ");
    texts[15] = QStringLiteral("  /封面/a.jpg");
    const std::optional<SkinEntry> saved = WriteSkinFile(program.Root(), QStringLiteral("网"), texts);
    ASSERT_TRUE(saved);
    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    skins.Append(*saved);
    for (const SkinField& field : kSkinFields)
        EXPECT_EQ(Value(2, field.key.toString()), Value(1, field.key.toString()));
    EXPECT_EQ(Value(2, QStringLiteral("MainFontSize")), QStringLiteral("20"));
    EXPECT_EQ(Value(2, QStringLiteral("FbackPicture")), QStringLiteral("/封面/a.jpg"));
    // The file itself has the texts as they stood.
    EXPECT_TRUE(ReadBytes(saved->FilePath)
                    .contains(EncodeGb18030(QStringLiteral("\r\nMainFontSize=  20  //标题字体大小\r\n"))));
}

TEST_F(SkinFolderTest, NamesThatCannotBeFileNamesWriteNothing)
{
    const QString names[] = {QString(),
                             QStringLiteral("."),
                             QStringLiteral(".."),
                             QStringLiteral("..a"),
                             QStringLiteral(".隐藏"),
                             QStringLiteral("../逃出"),
                             QStringLiteral("a/b"),
                             QStringLiteral("a\\b"),
                             QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")};
    for (const QString& name : names) {
        EXPECT_FALSE(IsSkinFileName(name));
        EXPECT_FALSE(WriteSkinFile(program.Root(), name, SampleTexts()));
    }
    EXPECT_TRUE(QDir(program.Path(QStringLiteral("Skin"))).isEmpty());
    EXPECT_EQ(QDir(program.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Skin")});

    for (const QString& name : {QStringLiteral("a.."), QStringLiteral("夜.读"), QStringLiteral(" 空格 ")})
        EXPECT_TRUE(IsSkinFileName(name)) << name.toStdString();
}

TEST_F(SkinFolderTest, ReadOnlyOrUnwritableFileEndsTheSave)
{
    const QString path = WriteSkin(QStringLiteral("只读"), QStringLiteral("12"));
    const QByteArray before = ReadBytes(path);
    // No write permission for anyone: read-only even for the superuser.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(WriteSkinFile(program.Root(), QStringLiteral("只读"), SampleTexts()));
    EXPECT_EQ(ReadBytes(path), before);

    // A folder in the file's place cannot be written either.
    QDir(program.Root()).mkpath(QStringLiteral("Skin/目录.ini"));
    EXPECT_FALSE(WriteSkinFile(program.Root(), QStringLiteral("目录"), SampleTexts()));
    // Nor can anything be saved without a skin folder.
    QDir(program.Path(QStringLiteral("Skin"))).removeRecursively();
    EXPECT_FALSE(WriteSkinFile(program.Root(), QStringLiteral("新"), SampleTexts()));
}

TEST(SavedSkinInTable, ExactlySeventeenSlotsWhateverTheEntryHeldBefore)
{
    SkinTable skins;
    SkinEntry longSkin;
    longSkin.Name = QStringLiteral("长");
    longSkin.Settings.assign(30, {QStringLiteral("Backcolor"), QStringLiteral("1")});
    skins.Append(longSkin);

    SkinEntry saved;
    saved.FilePath = QStringLiteral("/p/Skin/长.ini");
    saved.Settings.emplace_back();
    for (const SkinField& field : kSkinFields)
        saved.Settings.push_back({field.key.toString(), QStringLiteral("7")});

    // Nothing of the old, longer skin is left behind.
    saved.Name = QStringLiteral("长");
    EXPECT_EQ(StoreSavedSkin(skins, saved), 1);
    EXPECT_EQ(skins[1].Settings.size(), 17u);
    EXPECT_EQ(GetSkinValue(skins, 0, QStringLiteral("Backcolor"), 1), QStringLiteral("7"));
    EXPECT_EQ(skins[1].FilePath, saved.FilePath);

    saved.Name = QStringLiteral("新");
    EXPECT_EQ(StoreSavedSkin(skins, saved), 2);
    EXPECT_EQ(skins[2].Name, QStringLiteral("新"));
}

TEST_F(SkinFolderTest, RebuildKeepsEveryIndexAndAppendsNewFiles)
{
    WriteSkin(QStringLiteral("skin1"), QStringLiteral("11"));
    const QString second = WriteSkin(QStringLiteral("skin2"), QStringLiteral("12"));
    WriteSkin(QStringLiteral("skin3"), QStringLiteral("13"));
    WriteSkin(QStringLiteral("skin4"), QStringLiteral("14"));
    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    // A skin saved during the run sits at the end, though it lists first.
    std::optional<SkinEntry> saved = WriteSkinFile(program.Root(), QStringLiteral("skin0"), SampleTexts());
    ASSERT_TRUE(saved);
    ASSERT_EQ(StoreSavedSkin(skins, std::move(*saved)), 5);

    WriteSkin(QStringLiteral("skin1"), QStringLiteral("21"));                              // changed on disk
    QFile::remove(second);                                                                 // gone
    program.WriteGbk(QStringLiteral("Skin/skin3.ini"), QStringLiteral("no version\r\n"));  // no longer a skin
    WriteSkin(QStringLiteral("skin00"), QStringLiteral("30"));  // new, listed before all others

    ASSERT_TRUE(RebuildSkinTable(skins, program.Root()));
    ASSERT_EQ(skins.Count(), 6);
    EXPECT_EQ(skins[1].Name, QStringLiteral("skin1"));
    EXPECT_EQ(Value(1, QStringLiteral("FontSize")), QStringLiteral("21"));
    for (int emptied : {2, 3}) {
        EXPECT_TRUE(skins[emptied].Name.isEmpty());
        EXPECT_TRUE(skins[emptied].FilePath.isEmpty());
        EXPECT_EQ(skins[emptied].Settings.size(), 1u);
    }
    EXPECT_EQ(skins[4].Name, QStringLiteral("skin4"));
    EXPECT_EQ(skins[5].Name, QStringLiteral("skin0"));
    EXPECT_EQ(Value(5, QStringLiteral("FontSize")), QStringLiteral("10.5"));
    EXPECT_EQ(skins[6].Name, QStringLiteral("skin00"));

    // Once more without a change: nothing moves and nothing is added.
    ASSERT_TRUE(RebuildSkinTable(skins, program.Root()));
    EXPECT_EQ(skins.Count(), 6);
    EXPECT_EQ(skins[6].Name, QStringLiteral("skin00"));
    EXPECT_TRUE(skins[2].Name.isEmpty());

    // Without a skin folder every skin has gone, and the slots stay.
    QDir(program.Path(QStringLiteral("Skin"))).removeRecursively();
    ASSERT_TRUE(RebuildSkinTable(skins, program.Root()));
    EXPECT_EQ(skins.Count(), 6);
    EXPECT_TRUE(skins[1].Name.isEmpty());
}

TEST(PicturePath, RelativeOnlyUnderTheProgramFolderFollowedByASeparator)
{
    const QString folder = QStringLiteral("/opt/阅读器");
    EXPECT_EQ(RelativePicturePath(QStringLiteral("/opt/阅读器/SImage/2.jpg"), folder),
              QStringLiteral("\\SImage\\2.jpg"));
    EXPECT_EQ(RelativePicturePath(QStringLiteral("/opt/阅读器/a.bmp"), folder + u'/'), QStringLiteral("\\a.bmp"));
    EXPECT_EQ(RelativePicturePath(QStringLiteral("C:\\阅读器\\SImage\\b.jpg"), QStringLiteral("C:\\阅读器")),
              QStringLiteral("\\SImage\\b.jpg"));

    // Kept whole: a sibling folder sharing the prefix, the folder's name
    // inside another path, other capitals, and the folder itself.
    for (const QString& path : {QStringLiteral("/opt/阅读器2/SImage/2.jpg"), QStringLiteral("/home/x/opt/阅读器/c.jpg"),
                                QStringLiteral("/srv/opt/阅读器/SImage/d.jpg"), QStringLiteral("/OPT/阅读器/e.jpg"),
                                QStringLiteral("/opt/阅读器/")})
        EXPECT_EQ(RelativePicturePath(path, folder), path) << path.toStdString();
    EXPECT_EQ(RelativePicturePath(QStringLiteral("/a/b.jpg"), QString()), QStringLiteral("/a/b.jpg"));
}

TEST(ColourPreview, LeadingNumberOrBlackAndNothingForNonColours)
{
    EXPECT_EQ(PreviewColourValue(QStringLiteral("255")), 255);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("  65280 green")), 65280);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("16777215")), 16777215);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("12.6")), 13);
    EXPECT_EQ(PreviewColourValue(QString()), 0);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("red")), 0);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("-")), 0);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("-1")), std::nullopt);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("16777216")), std::nullopt);
    EXPECT_EQ(PreviewColourValue(QStringLiteral("99999999999")), std::nullopt);
}

}  // namespace

namespace {

class SkinSaveFailures : public SkinFolderTest {};

// "Key=Value//caption" cannot hold a value with "//" in it, nor one ending
// in "/": both would read back cut ("D://pics/c.jpg" as "D:"). Such a save
// is refused, the field named, and the old file left as it was.
TEST_F(SkinSaveFailures, ValuesTheFileCannotHoldAreRefusedByField)
{
    const QString path = WriteSkin(QStringLiteral("水墨"), QStringLiteral("12"));
    const QByteArray before = ReadBytes(path);
    struct Case {
        int field;
        QString text;
    };
    for (const Case& bad : {Case{15, QStringLiteral("D://pics/c.jpg")}, Case{0, QStringLiteral("/图片/")},
                            Case{7, QStringLiteral("//")}, Case{3, QStringLiteral("/")}}) {
        SkinFieldTexts texts = SampleTexts();
        texts[bad.field] = bad.text;
        EXPECT_EQ(UnholdableSkinField(texts), bad.field);
        QString failure;
        EXPECT_FALSE(WriteSkinFile(program.Root(), QStringLiteral("水墨"), texts, &failure));
        EXPECT_TRUE(failure.contains(kSkinFields[bad.field].caption.toString())) << failure.toStdString();
        EXPECT_EQ(ReadBytes(path), before);
    }
    // One slash inside, a backslash at the end and "/ /" are all held.
    SkinFieldTexts held = SampleTexts();
    held[0] = QStringLiteral("/a/b.jpg");
    held[15] = QStringLiteral("D:\\封面\\");
    held[7] = QStringLiteral("a/ /b");
    EXPECT_EQ(UnholdableSkinField(held), -1);
    ASSERT_TRUE(WriteSkinFile(program.Root(), QStringLiteral("水墨"), held));
    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    for (const int i : {0, 7, 15})
        EXPECT_EQ(Value(1, kSkinFields[i].key.toString()), held[i]);
}

// Saving over a skin on a full disk must leave the old skin whole (it used
// to be left empty, and so gone at the next start) and say why.
TEST_F(SkinSaveFailures, FullDiskKeepsTheOldSkinAndSaysWhy)
{
    SmallDisk disk(32 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    QDir(disk.Root()).mkpath(QStringLiteral("Skin"));
    const QString path = disk.Path(QStringLiteral("Skin/水墨.ini"));
    QFile::copy(WriteSkin(QStringLiteral("水墨"), QStringLiteral("12")), path);
    const QByteArray before = ReadBytes(path);
    ASSERT_FALSE(before.isEmpty());
    ASSERT_TRUE(disk.Fill());

    QString failure;
    EXPECT_FALSE(WriteSkinFile(disk.Root(), QStringLiteral("水墨"), SampleTexts(), &failure));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(failure.contains(QStringLiteral("水墨.ini"))) << failure.toStdString();
    // A new skin on the full disk leaves no file behind.
    failure.clear();
    EXPECT_FALSE(WriteSkinFile(disk.Root(), QStringLiteral("新"), SampleTexts(), &failure));
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(QDir(disk.Path(QStringLiteral("Skin"))).entryList(QDir::Files), QStringList{QStringLiteral("水墨.ini")});
}

}  // namespace
