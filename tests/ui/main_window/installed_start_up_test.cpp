// Start-up of an installed reader: skins from the shipped folder and the
// user's, the user's own of a name winning, and the recent files and the
// help's closing words taken from the user's folder.

#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/start_up.h"

namespace {

TEST(InstalledStartUp, SkinsOfBothFoldersAndTheUsersBookIni)
{
    TempFolder shipped;
    TempFolder user;
    TempFolder books;
    auto skin = [](const TempFolder& folder, const QString& name, const QString& size) {
        folder.WriteGbk(QStringLiteral("Skin/") + name + QStringLiteral(".ini"),
                        QStringLiteral("[Version1.0]\r\nFontSize=") + size + QStringLiteral("\r\n"));
    };
    skin(shipped, QStringLiteral("言情"), QStringLiteral("12"));
    skin(shipped, QStringLiteral("水墨"), QStringLiteral("13"));
    skin(user, QStringLiteral("言情"), QStringLiteral("20"));
    skin(user, QStringLiteral("自制"), QStringLiteral("9"));
    const QString book = books.WriteGbk(QStringLiteral("甲.txt"), QStringLiteral("第一章\r\n正文\r\n"));
    user.WriteGbk(QStringLiteral("book.ini"),
                  "[Version1.0]\r\nName=" + book + QStringLiteral(",Xcolor=,id=0,SelStart=1\r\n"));
    // A book.ini beside the shipped data is never read.
    shipped.WriteGbk(QStringLiteral("book.ini"),
                     QStringLiteral("[Version1.0]\r\nName=/别处/乙.txt,Xcolor=,id=0,SelStart=1\r\n"));

    ReaderState state;
    ScriptedPrompter prompter;
    MainWindow window(state, prompter, ReaderFolders{shipped.Root(), user.Root()});
    StartUp(window);
    WaitUntilIdle(window);

    QStringList names;
    for (int i = 1; i <= state.Skins.Count(); ++i)
        names.append(state.Skins[i].Name);
    names.sort();
    EXPECT_EQ(names, QStringList({"水墨", "自制", "言情"}));
    ASSERT_TRUE(state.Skins.IsSkin(state.CurrentSkin));
    EXPECT_EQ(state.Skins[state.CurrentSkin].Name, QStringLiteral("言情"));
    EXPECT_EQ(GetSkinValue(state.Skins, state.CurrentSkin, QStringLiteral("FontSize"), 0), QStringLiteral("20"));
    EXPECT_EQ(window.SkinItems().Count(), 4);  // "自定义皮肤" and the three

    EXPECT_EQ(window.RecentFiles().Captions(), QStringList({book}));
    EXPECT_TRUE(window.Pane().Text().contains(user.Root() + QStringLiteral(" 下的 book.ini")));
    EXPECT_FALSE(window.Pane().Text().contains(QStringLiteral("程序目录下")));
}

}  // namespace
