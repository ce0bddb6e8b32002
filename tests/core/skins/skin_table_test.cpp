#include "core/skins/skin_table.h"
#include "core/text/text_decoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A program folder in a temporary directory, with skin files written as
// real bytes into its "Skin" folder.
class ProgramFolder {
public:
    ProgramFolder() { EXPECT_TRUE(dir_.isValid()); }

    QString Root() const { return dir_.path(); }
    QString SkinPath(const QString& name) const { return QDir(dir_.path()).filePath("Skin/" + name); }

    QString WriteSkin(const QString& name, const QByteArray& bytes) const
    {
        QDir(dir_.path()).mkpath("Skin");
        QFile file(SkinPath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return file.fileName();
    }

    // Lines joined and ended by CR LF, encoded as GBK as on the systems
    // the skins come from.
    QString WriteGbkSkin(const QString& name, const QStringList& lines) const
    {
        return WriteSkin(name, EncodeGb18030(QString(lines.join("\r\n") + "\r\n")));
    }

private:
    QTemporaryDir dir_;
};

// Turns `path` into a file that lists as a plain file but cannot be read:
// no permissions, or, where the user reads anyway (root), a link to this
// process's memory file, whose first page is never mapped.
bool MakeUnreadable(const QString& path)
{
    auto unreadable = [&] {
        QFile file(path);
        char byte;
        return !file.open(QIODevice::ReadOnly) || file.read(&byte, 1) < 0;
    };
    QFile::setPermissions(path, {});
    if (unreadable())
        return true;
    QFile::remove(path);
    return QFile::link("/proc/self/mem", path) && unreadable();
}

TEST(SkinFile, VersionLineMayCarryBlanksButMustMatchExactly)
{
    ProgramFolder program;
    SkinTable skins;
    const auto load = [&](const QString& name, const QByteArray& bytes) {
        return LoadSkinFile(skins, program.WriteSkin(name, bytes), name);
    };

    EXPECT_EQ(load("blanks.ini", "   [Version1.0]  \r\nFontSize=12\r\n"), SkinFileResult::Added);
    EXPECT_EQ(load("capitals.ini", "[version1.0]\r\nFontSize=12\r\n"), SkinFileResult::NotASkin);
    EXPECT_EQ(load("tab.ini", "\t[Version1.0]\r\nFontSize=12\r\n"), SkinFileResult::NotASkin);
    EXPECT_EQ(load("late.ini", "\r\n[Version1.0]\r\nFontSize=12\r\n"), SkinFileResult::NotASkin);
    EXPECT_EQ(load("empty.ini", ""), SkinFileResult::NotASkin);
    // A byte order mark is not part of the first line.
    EXPECT_EQ(load("bom.ini", "\xEF\xBB\xBF[Version1.0]\r\nFontSize=14\r\n"), SkinFileResult::Added);
    EXPECT_EQ(LoadSkinFile(skins, program.SkinPath("missing.ini"), "missing.ini"), SkinFileResult::Unreadable);

    ASSERT_EQ(skins.Count(), 2);
    EXPECT_EQ(skins[1].Name, "blanks");
    EXPECT_EQ(GetSkinValue(skins, 0, "FontSize", 1), "12");
    EXPECT_EQ(skins[2].Name, "bom");
    EXPECT_EQ(GetSkinValue(skins, 0, "FontSize", 2), "14");
}

TEST(SkinFile, EveryLineTakesASlotAfterCommentAndSplitRules)
{
    ProgramFolder program;
    const QString path =
        program.WriteGbkSkin("rules.ini",
                             {
                                 "[Version1.0]",
                                 "  MainFontName  =  隶书  //标题字体",     // 1
                                 "MainPicture = http://example.com/a.jpg",  // 2: the value's "//" starts a comment
                                 "//MainLFontSize=99",                      // 3: a comment line keeps its key
                                 "FontName=a=b",                            // 4
                                 "",                                        // 5
                                 "Backcolor=1",                             // 6
                                 "Backcolor=2",                             // 7
                                 "mainfontsize=20",                         // 8
                                 "no separator here",                       // 9
                                 "\tFontForeColer = 255\t",                 // 10: tabs are not blanks
                                 "FontSize=   // nothing set",              // 11
                             });
    SkinTable skins;
    ASSERT_EQ(LoadSkinFile(skins, path, "rules.ini"), SkinFileResult::Added);
    ASSERT_EQ(skins.Count(), 1);
    const SkinEntry& skin = skins[1];

    // Slot i holds line i + 1; slot 0 is empty.
    ASSERT_EQ(skin.Settings.size(), 12u);
    const auto slot = [&](std::size_t i) { return std::make_pair(skin.Settings[i].Key, skin.Settings[i].Value); };
    using Pair = std::pair<QString, QString>;
    EXPECT_EQ(slot(0), Pair());
    EXPECT_EQ(slot(1), Pair("MainFontName", "隶书"));
    EXPECT_EQ(slot(2), Pair("MainPicture", "http:"));
    EXPECT_EQ(slot(3), Pair("//MainLFontSize", "99"));
    EXPECT_EQ(slot(4), Pair("FontName", "a=b"));
    EXPECT_EQ(slot(5), Pair());
    EXPECT_EQ(slot(9), Pair());
    EXPECT_EQ(slot(10), Pair("\tFontForeColer", "255\t"));
    EXPECT_EQ(slot(11), Pair("FontSize", ""));

    const auto lookup = [&](const QString& key) { return GetSkinValue(skins, 1, key, 0); };
    EXPECT_EQ(lookup("MainFontName"), "隶书");
    EXPECT_EQ(lookup("MainLFontSize"), "");
    EXPECT_EQ(lookup("Backcolor"), "1");
    EXPECT_EQ(lookup("MainFontSize"), "");
    EXPECT_EQ(lookup("mainfontsize"), "20");
    EXPECT_EQ(lookup("FontForeColer"), "");
    EXPECT_EQ(lookup("FontSize"), "");
}

TEST(SkinFile, NameDropsEveryLowerCaseIniAndPathIsKept)
{
    ProgramFolder program;
    SkinTable skins;
    const QStringList names = {"言情.ini", "Dark.INI", "a.ini.ini", "x.ini.Ini"};
    for (const QString& name : names)
        ASSERT_EQ(LoadSkinFile(skins, program.WriteGbkSkin(name, {"[Version1.0]"}), name), SkinFileResult::Added);

    ASSERT_EQ(skins.Count(), 4);
    EXPECT_EQ(skins[1].Name, "言情");
    EXPECT_EQ(skins[2].Name, "Dark.INI");
    EXPECT_EQ(skins[3].Name, "a");
    EXPECT_EQ(skins[4].Name, "x.Ini");
    EXPECT_EQ(skins[2].FilePath, program.SkinPath("Dark.INI"));
    EXPECT_EQ(skins[1].Settings.size(), 1u);
}

// A skin the reader saved is GB18030, whose bytes may also be valid UTF-8;
// it reads back as GB18030. A byte order mark still selects UTF-8 for a
// skin saved with another editor.
TEST(SkinFile, ReadsAsGb18030UnlessAByteOrderMarkSaysOtherwise)
{
    ProgramFolder program;
    SkinTable skins;
    const QString picture = QStringLiteral("\\小说\\目录.jpg");
    program.WriteGbkSkin("甲.ini", {"[Version1.0]", "MainPicture=" + picture});
    program.WriteSkin("乙.ini", "\xEF\xBB\xBF[Version1.0]\r\nFontName=" + QStringLiteral("楷体").toUtf8() + "\r\n");
    ASSERT_EQ(LoadSkinFile(skins, program.SkinPath("甲.ini"), "甲.ini"), SkinFileResult::Added);
    ASSERT_EQ(LoadSkinFile(skins, program.SkinPath("乙.ini"), "乙.ini"), SkinFileResult::Added);
    EXPECT_EQ(GetSkinValue(skins, 0, "MainPicture", 1), picture);
    EXPECT_EQ(GetSkinValue(skins, 0, "FontName", 2), QStringLiteral("楷体"));
}

TEST(SkinFolder, ListsPlainIniFilesInNaturalOrder)
{
    ProgramFolder program;
    for (const char* name :
         {"skin10.ini", "Skin2.ini", "skin1.ini", "B.INI", "a.ini", "notes.txt", "x.ini.bak", ".hidden.ini"})
        program.WriteGbkSkin(name, {"[Version1.0]"});
    QDir(program.Root()).mkpath("Skin/folder.ini");
    const QString skinFolder = QDir(program.Root()).filePath("Skin");
    EXPECT_EQ(ListSkinFiles(skinFolder), QStringList({"a.ini", "B.INI", "skin1.ini", "Skin2.ini", "skin10.ini"}));

    // Where Han and Latin names go relative to each other depends on the
    // locale; numbers inside Chinese names count by value in any.
    ProgramFolder chinese;
    for (const char* name : {"第10卷.ini", "第2卷.ini", "第1卷.ini"})
        chinese.WriteGbkSkin(name, {"[Version1.0]"});
    EXPECT_EQ(ListSkinFiles(QDir(chinese.Root()).filePath("Skin")),
              QStringList({"第1卷.ini", "第2卷.ini", "第10卷.ini"}));

    EXPECT_TRUE(ListSkinFiles(QDir(program.Root()).filePath("NoSuchFolder")).isEmpty());
}

TEST(SkinFolder, AppendsEverySkinInListOrderWithoutClearing)
{
    ProgramFolder program;
    SkinTable skins;
    EXPECT_TRUE(LoadSkinFolder(skins, program.Root()));  // no Skin folder at all
    EXPECT_EQ(skins.Count(), 0);

    program.WriteGbkSkin("10.ini", {"[Version1.0]", "FontSize=10"});
    program.WriteGbkSkin("2.ini", {"[Version1.0]", "FontSize=2"});
    program.WriteGbkSkin("old.ini", {"[Version0.9]", "FontSize=9"});
    program.WriteSkin("empty.ini", "");

    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    ASSERT_EQ(skins.Count(), 2);
    EXPECT_EQ(skins[1].Name, "2");
    EXPECT_EQ(skins[2].Name, "10");
    EXPECT_EQ(skins[1].FilePath, QDir(program.Root()).filePath("Skin/2.ini"));
    EXPECT_EQ(GetSkinValue(skins, 2, "FontSize", 0), "10");

    // A second run appends the folder again; resetting first rebuilds it.
    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    EXPECT_EQ(skins.Count(), 4);
    EXPECT_EQ(skins[3].Name, "2");
    skins.Reset();
    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    EXPECT_EQ(skins.Count(), 2);
}

TEST(SkinFolder, UnreadableFileEndsTheRunKeepingEarlierSkins)
{
    ProgramFolder program;
    program.WriteGbkSkin("a.ini", {"[Version1.0]"});
    const QString blocked = program.WriteGbkSkin("b.ini", {"[Version1.0]"});
    program.WriteGbkSkin("c.ini", {"[Version1.0]"});
    if (!MakeUnreadable(blocked))
        GTEST_SKIP() << "no way to make a listed file unreadable here";
    ASSERT_EQ(ListSkinFiles(QDir(program.Root()).filePath("Skin")), QStringList({"a.ini", "b.ini", "c.ini"}));

    SkinTable skins;
    EXPECT_FALSE(LoadSkinFolder(skins, program.Root()));
    ASSERT_EQ(skins.Count(), 1);
    EXPECT_EQ(skins[1].Name, "a");
}

TEST(SkinLookup, IndexZeroMeansTheCurrentSkinAndMissesGiveEmptyText)
{
    ProgramFolder program;
    program.WriteGbkSkin("1.ini", {"[Version1.0]", "MainFontSize=20"});
    program.WriteGbkSkin("2.ini", {"[Version1.0]", "MainFontSize=30"});
    SkinTable skins;
    ASSERT_TRUE(LoadSkinFolder(skins, program.Root()));
    ASSERT_EQ(skins.Count(), 2);

    EXPECT_EQ(GetSkinValue(skins, 0, "MainFontSize", 0), "");
    EXPECT_EQ(GetSkinValue(skins, 2, "MainFontSize", 0), "30");
    EXPECT_EQ(GetSkinValue(skins, 2, "MainFontSize", 1), "20");
    EXPECT_EQ(GetSkinValue(skins, 3, "MainFontSize", 0), "");
    EXPECT_EQ(GetSkinValue(skins, 255, "MainFontSize", 0), "");
    EXPECT_EQ(GetSkinValue(skins, 1, "MainFontSize", 3), "");
    EXPECT_EQ(GetSkinValue(skins, 1, "MainFontSize", -1), "");
    // The key asked for is compared as given.
    EXPECT_EQ(GetSkinValue(skins, 1, " MainFontSize", 0), "");
    EXPECT_EQ(GetSkinValue(skins, 1, "FontSize", 0), "");

    skins.Reset();
    EXPECT_EQ(GetSkinValue(skins, 1, "MainFontSize", 0), "");
}

TEST(SkinTable, ResetLeavesSlotZeroAndEntriesStayInPlaceAsItGrows)
{
    SkinTable skins;
    EXPECT_EQ(skins.Append({"p", "first", {}}), 1);
    const SkinEntry* first = &skins[1];
    for (int i = 0; i < 5000; ++i)
        skins.Append({});
    EXPECT_EQ(&skins[1], first);
    EXPECT_EQ(first->Name, "first");
    // Lookups start at slot 1, so even an entry appended bare gets slot 0.
    EXPECT_EQ(first->Settings.size(), 1u);

    skins.Reset();
    EXPECT_EQ(skins.Count(), 0);
    EXPECT_TRUE(skins[0].Name.isEmpty() && skins[0].FilePath.isEmpty());
}

}  // namespace
