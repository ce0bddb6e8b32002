// The skins of an installed reader: those shipped under the install prefix
// and those the user saved in the user's data folder, read as one folder
// in which the user's file of a name replaces the shipped one.

#include "core/skins/skin_editing.h"
#include "support/read_only_folder.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>

namespace {

class InstalledSkinsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(shipped.Path(QStringLiteral("Skin")));
        QDir().mkpath(user.Path(QStringLiteral("Skin")));
    }

    static QString Write(const TempFolder& folder, const QString& name, const QString& fontSize)
    {
        return folder.WriteGbk(QStringLiteral("Skin/") + name + QStringLiteral(".ini"),
                               QStringLiteral("[Version1.0]\r\nFontSize=") + fontSize + QStringLiteral("\r\n"));
    }
    QString Value(int index) const { return GetSkinValue(skins, 0, QStringLiteral("FontSize"), index); }
    QStringList Names() const
    {
        QStringList names;
        for (int i = 1; i <= skins.Count(); ++i)
            names.append(skins[i].Name);
        return names;
    }

    TempFolder shipped;
    TempFolder user;
    ReaderFolders folders{shipped.Root(), user.Root()};
    SkinTable skins;
};

TEST_F(InstalledSkinsTest, TheUsersSkinsJoinTheShippedInNaturalOrderAndReplaceOnesOfTheirName)
{
    Write(shipped, QStringLiteral("skin10"), QStringLiteral("10"));
    Write(shipped, QStringLiteral("skin2"), QStringLiteral("2"));
    const QString shippedInk = Write(shipped, QStringLiteral("水墨"), QStringLiteral("14"));
    const QString ownInk = Write(user, QStringLiteral("水墨"), QStringLiteral("20"));
    Write(user, QStringLiteral("skin3"), QStringLiteral("3"));
    user.WriteGbk(QStringLiteral("Skin/旧格式.ini"), QStringLiteral("no version line\r\n"));

    const std::vector<SkinFile> files = ListSkinFiles(folders);
    ASSERT_EQ(files.size(), 5u);
    QStringList order;
    for (const SkinFile& file : files)
        order.append(file.listedName);
    // Where Han and Latin names go relative to each other is the locale's.
    EXPECT_EQ(order.filter(QStringLiteral("skin")), QStringList({"skin2.ini", "skin3.ini", "skin10.ini"}));
    const auto ink =
        std::find_if(files.begin(), files.end(), [](const SkinFile& f) { return f.listedName == "水墨.ini"; });
    ASSERT_NE(ink, files.end());
    EXPECT_EQ(ink->path, ownInk);
    EXPECT_EQ(ink->replaces, shippedInk);

    ASSERT_TRUE(LoadSkinFolder(skins, folders));
    ASSERT_EQ(skins.Count(), 4);
    const int inkIndex = static_cast<int>(Names().indexOf(QStringLiteral("水墨"))) + 1;
    ASSERT_GT(inkIndex, 0);
    EXPECT_EQ(Value(inkIndex), QStringLiteral("20"));
    EXPECT_EQ(Names().count(QStringLiteral("水墨")), 1);
    const int skin3 = static_cast<int>(Names().indexOf(QStringLiteral("skin3"))) + 1;
    EXPECT_EQ(Names().indexOf(QStringLiteral("skin2")) + 2, skin3);
    EXPECT_EQ(Value(skin3), QStringLiteral("3"));
}

TEST_F(InstalledSkinsTest, APortableFolderListsExactlyAsItsOwnSkinFolder)
{
    for (const char* name : {"b", "A", "c10", "c9"})
        Write(shipped, QString::fromLatin1(name), QStringLiteral("1"));
    const ReaderFolders portable = ReaderFolders::Portable(shipped.Root());
    QStringList order;
    for (const SkinFile& file : ListSkinFiles(portable)) {
        order.append(file.listedName);
        EXPECT_TRUE(file.replaces.isEmpty());
    }
    EXPECT_EQ(order, ListSkinFiles(shipped.Path(QStringLiteral("Skin"))));
}

TEST_F(InstalledSkinsTest, SavingWritesTheUsersFolderAndLeavesTheReadOnlyPrefixAlone)
{
    const QString shippedInk = Write(shipped, QStringLiteral("水墨"), QStringLiteral("14"));
    Write(shipped, QStringLiteral("言情"), QStringLiteral("12"));
    const QByteArray shippedBytes = ReadBytes(shippedInk);
    ASSERT_TRUE(QDir(user.Path(QStringLiteral("Skin"))).removeRecursively());  // a first save makes it
    const ReadOnlyFolder locked(shipped.Root());
    if (!locked.Made())
        GTEST_SKIP() << locked.Why().toStdString();

    ASSERT_TRUE(LoadSkinFolder(skins, folders));
    ASSERT_EQ(Names(), QStringList({"水墨", "言情"}));
    SkinFieldTexts texts;
    texts[8] = QStringLiteral("18");
    std::optional<SkinEntry> saved = WriteSkinFile(folders, QStringLiteral("水墨"), texts);
    ASSERT_TRUE(saved);
    EXPECT_EQ(QDir::cleanPath(saved->FilePath), user.Path(QStringLiteral("Skin/水墨.ini")));
    EXPECT_EQ(StoreSavedSkin(skins, std::move(*saved)), 1);
    EXPECT_EQ(ReadBytes(shippedInk), shippedBytes);
    EXPECT_EQ(ReadBytes(user.Path(QStringLiteral("Skin/水墨.ini"))), EncodeGb18030(BuildSkinFileText(texts)));

    // Read again (the skin manager opening): the saved skin keeps its place
    // and its values, and nothing is added.
    ASSERT_TRUE(RebuildSkinTable(skins, folders));
    EXPECT_EQ(Names(), QStringList({"水墨", "言情"}));
    EXPECT_EQ(Value(1), QStringLiteral("18"));

    // A new skin goes to the user's folder too and is appended.
    ASSERT_TRUE(WriteSkinFile(folders, QStringLiteral("夜读"), texts));
    ASSERT_TRUE(RebuildSkinTable(skins, folders));
    EXPECT_EQ(Names(), QStringList({"水墨", "言情", "夜读"}));
}

TEST_F(InstalledSkinsTest, AUserFileAppearingForAShippedSkinTakesOverItsIndex)
{
    Write(shipped, QStringLiteral("a"), QStringLiteral("1"));
    Write(shipped, QStringLiteral("b"), QStringLiteral("2"));
    ASSERT_TRUE(LoadSkinFolder(skins, folders));
    Write(user, QStringLiteral("a"), QStringLiteral("5"));
    Write(user, QStringLiteral("0"), QStringLiteral("0"));

    ASSERT_TRUE(RebuildSkinTable(skins, folders));
    EXPECT_EQ(Names(), QStringList({"a", "b", "0"}));
    EXPECT_EQ(Value(1), QStringLiteral("5"));
    EXPECT_EQ(QDir::cleanPath(skins[1].FilePath), user.Path(QStringLiteral("Skin/a.ini")));
}

}  // namespace
