#include "support/full_disk.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"
#include "ui/main_window/start_up.h"
#include "ui/main_window/window_skin.h"
#include "ui/platform/colour.h"
#include "ui/platform/prompter.h"
#include "ui/skins/skin_manager_dialog.h"
#include "ui/widgets/picture_box.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

QStringList Items(const QListWidget& list)
{
    QStringList items;
    for (int row = 0; row < list.count(); ++row)
        items.append(list.item(row)->text());
    return items;
}

// Three skins in the program folder, loaded and put in the menu as start-up does.
class SkinManager : public ReaderFixture {
protected:
    void SetUp() override
    {
        ReaderFixture::SetUp();
        QDir().mkpath(program.Path(QStringLiteral("SImage")));
        QDir().mkpath(program.Path(QStringLiteral("Skin")));
        for (const QString& name : {QStringLiteral("skin1"), QStringLiteral("skin2"), QStringLiteral("skin3")})
            WriteSkin(name,
                      {QStringLiteral("[Version1.0]"), QStringLiteral("MainFontName = 黑体 // 标题"),
                       QStringLiteral("MainLFontColor=65280"), QStringLiteral("FontSize=1") + name.back()});
        LoadSkins(*window);
        ASSERT_EQ(state.Skins.Count(), 3);
    }

    SkinManagerDialog& Open()
    {
        window->ChooseSkin(0);
        auto* manager = window->SkinManagerIfMade();
        EXPECT_NE(manager, nullptr);
        return *manager;
    }
    QString Value(int skin, int field) const
    {
        return GetSkinValue(state.Skins, 0, kSkinFields[field].key.toString(), skin);
    }
    int IndexOf(const QString& name) const
    {
        for (int i = 1; i <= state.Skins.Count(); ++i) {
            if (state.Skins[i].Name == name)
                return i;
        }
        return 0;
    }
};

TEST_F(SkinManager, OpensBesideTheWindowWithTheFirstSkinLocked)
{
    SkinManagerDialog& m = Open();
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.windowModality(), Qt::NonModal);
    EXPECT_EQ(m.windowTitle(), QStringLiteral("皮肤管理器"));
    EXPECT_EQ(Items(m.SkinList()), QStringList({"skin1", "skin2", "skin3"}));
    EXPECT_TRUE(m.NewSkinBox().isChecked());
    EXPECT_FALSE(m.SkinName().isEnabled());
    EXPECT_EQ(m.SkinName().text(), QStringLiteral("skin1"));
    for (int i = 0; i < kSkinFieldCount; ++i) {
        EXPECT_EQ(m.FieldEdit(i).text(), Value(1, i));
        EXPECT_EQ(m.FieldLabel(i).text(), kSkinFields[i].caption.toString());
        EXPECT_FALSE(m.FieldEdit(i).hasFrame());
        // Nothing overlaps and everything lies inside the dialog.
        EXPECT_TRUE(m.rect().contains(m.FieldEdit(i).geometry()));
        for (int j = 0; j < kSkinFieldCount; ++j) {
            EXPECT_FALSE(m.FieldLabel(i).geometry().intersects(m.FieldEdit(j).geometry())) << i << ' ' << j;
            EXPECT_TRUE(j == i || !m.FieldEdit(i).geometry().intersects(m.FieldEdit(j).geometry())) << i << ' ' << j;
        }
    }

    // A click in the list shows that skin; unticking opens an empty name box;
    // ticking locks it again with the typed name.
    QTest::mouseClick(m.SkinList().viewport(), Qt::LeftButton, {},
                      m.SkinList().visualItemRect(m.SkinList().item(2)).center());
    EXPECT_EQ(m.SkinName().text(), QStringLiteral("skin3"));
    EXPECT_EQ(m.FieldEdit(8).text(), QStringLiteral("13"));
    m.NewSkinBox().click();
    EXPECT_TRUE(m.SkinName().isEnabled());
    EXPECT_TRUE(m.SkinName().text().isEmpty());
    m.SkinName().insert(QStringLiteral("新"));
    m.NewSkinBox().click();
    EXPECT_FALSE(m.SkinName().isEnabled());
    EXPECT_EQ(m.SkinName().text(), QStringLiteral("新"));
}

TEST_F(SkinManager, SavesSeventeenLinesThatLoadBackAndExtendListMenuAndTable)
{
    SkinManagerDialog& m = Open();
    prompter.colours.push_back(QColor(1, 2, 3));
    QTest::mousePress(&m.FieldEdit(3), Qt::LeftButton);
    m.SaveButton().click();
    EXPECT_EQ(
        ReadBytes(program.Path(QStringLiteral("Skin/skin1.ini"))),
        EncodeGb18030(QStringLiteral(
            "[Version1.0]\r\nMainPicture=//标题图片\r\nMainFontName=黑体//标题字体\r\nMainFontSize=//标题字体大小\r\n"
            "MainFontColor=197121//标题字体颜色\r\nMainLFontColor=65280//小标题颜色\r\nMainLFontSize=//小标题大小\r\n"
            "MainLFontName=//小标题字体\r\nFontName=//主题字体名称\r\nFontSize=11//主题字体大小\r\n"
            "FontForeColer=//内容字体颜色\r\nFontBackColor=//内容背景颜色\r\nBackcolor=//背景颜色\r\n"
            "Backcolor2=//背景2颜色\r\nFbackColor=//封面背景\r\nFForecolor=//封面字符颜色\r\nFbackPicture=//"
            "封面图片\r\n")));
    // Its own name again: no second list item, menu entry or table entry.
    EXPECT_EQ(m.SkinList().count(), 3);
    EXPECT_EQ(window->SkinItems().Count(), 4);
    EXPECT_EQ(state.Skins.Count(), 3);
    EXPECT_EQ(state.Skins[1].Settings.size(), 17u);
    EXPECT_EQ(Value(1, 3), QStringLiteral("197121"));

    // A new skin, with a cover picture from the program folder.
    m.NewSkinBox().click();
    m.SkinName().insert(QStringLiteral("冬"));
    prompter.files.push_back(program.Path(QStringLiteral("SImage/封面.jpg")));
    QTest::mousePress(&m.FieldEdit(15), Qt::RightButton);
    m.SaveButton().click();
    EXPECT_EQ(Items(m.SkinList()).last(), QStringLiteral("冬"));
    ASSERT_EQ(state.Skins.Count(), 4);
    EXPECT_EQ(window->SkinItems().Count(), 5);
    EXPECT_EQ(window->SkinItems().Caption(4), QStringLiteral("冬"));
    EXPECT_EQ(Value(4, 15), QStringLiteral("\\SImage\\封面.jpg"));
    window->ChooseSkin(4);
    EXPECT_EQ(state.CurrentSkin, 4);

    // What a restart would read equals the table.
    SkinTable fresh;
    ASSERT_TRUE(LoadSkinFolder(fresh, program.Root()));
    for (int i = 1; i <= fresh.Count(); ++i) {
        const int k = IndexOf(fresh[i].Name);
        ASSERT_NE(k, 0);
        for (int f = 0; f < kSkinFieldCount; ++f)
            EXPECT_EQ(GetSkinValue(fresh, 0, kSkinFields[f].key.toString(), i), Value(k, f));
    }
}

TEST_F(SkinManager, SavingTheSkinInUseRedrawsAndAnotherDoesNot)
{
    OpenBook(*window, WriteBook(QStringLiteral("书.txt"), QStringLiteral("第一章 开端\r\n正文\r\n")));
    state.CurrentSkin = 1;
    window->ApplySkin();
    ASSERT_EQ(window->TitlePanel().ForeColor(), QColor(0, 255, 0));
    ASSERT_EQ(window->Pane().font().pointSizeF(), 11);
    // A size from the font menu lasts until the skin is applied again.
    window->SetPaneFontSize(18);  // "特大字体"
    SkinManagerDialog& m = Open();
    m.SkinList().setCurrentRow(1);
    m.FieldEdit(4).setText(QStringLiteral("255"));
    m.SaveButton().click();
    EXPECT_EQ(Value(2, 4), QStringLiteral("255"));
    EXPECT_EQ(window->Pane().font().pointSizeF(), 18);

    m.SkinList().setCurrentRow(0);
    m.FieldEdit(4).setText(QStringLiteral("16711680"));
    m.SaveButton().click();
    EXPECT_EQ(window->TitlePanel().ForeColor(), QColor(0, 0, 255));
    EXPECT_EQ(window->Pane().font().pointSizeF(), 11);
}

TEST_F(SkinManager, PickersFillFieldsAndCancelChangesNothing)
{
    SkinManagerDialog& m = Open();
    const QString before = m.FieldEdit(9).text();
    prompter.colours.push_back(std::nullopt);
    QTest::mousePress(&m.FieldEdit(9), Qt::LeftButton);
    EXPECT_EQ(m.FieldEdit(9).text(), before);
    prompter.colours.push_back(QColor(255, 0, 0));
    QTest::mousePress(&m.FieldEdit(9), Qt::MiddleButton);
    EXPECT_EQ(m.FieldEdit(9).text(), QStringLiteral("255"));
    EXPECT_EQ(m.FieldEdit(9).palette().color(QPalette::Base), QColor(255, 0, 0));

    // Either field of a font pair fills both.
    QFont font(QStringLiteral("楷体"));
    font.setPointSizeF(10.5);
    prompter.fonts = {font, std::nullopt};
    QTest::mousePress(&m.FieldEdit(8), Qt::LeftButton);
    EXPECT_EQ(m.FieldEdit(7).text(), QStringLiteral("楷体"));
    EXPECT_EQ(m.FieldEdit(8).text(), QStringLiteral("10.5"));
    QTest::mousePress(&m.FieldEdit(7), Qt::LeftButton);
    EXPECT_EQ(m.FieldEdit(8).text(), QStringLiteral("10.5"));
    EXPECT_EQ(m.FieldEdit(2).text(), QString());
    // The name says which installed face 楷体 is drawn in.
    EXPECT_EQ(m.FieldEdit(7).toolTip(), QStringLiteral("实际使用的字体：") + QFontInfo(m.FieldEdit(7).font()).family());

    // Pictures: relative only under the program folder itself.
    const QString sibling = program.Root() + QStringLiteral("2/SImage/a.jpg");
    prompter.files = {program.Path(QStringLiteral("SImage/a.jpg")), sibling, std::nullopt};
    for (int press = 0; press < 3; ++press)
        QTest::mousePress(&m.FieldEdit(0), Qt::LeftButton);
    EXPECT_EQ(m.FieldEdit(0).text(), sibling);
    EXPECT_EQ(prompter.filters, QStringList(3, QStringLiteral("Bmp文件|*.bmp|JPG文件|*.jpg|JPEG文件|*.jpeg")));
    prompter.files = {program.Path(QStringLiteral("SImage/a.jpg"))};
    QTest::mousePress(&m.FieldEdit(0), Qt::LeftButton);
    EXPECT_EQ(m.FieldEdit(0).text(), QStringLiteral("\\SImage\\a.jpg"));

    // The preview follows typed text: no number is black, a non-colour
    // leaves the field's own colours.
    const QColor plain = m.FieldEdit(0).palette().color(QPalette::Base);
    m.FieldEdit(9).setText(QStringLiteral("blue"));
    EXPECT_EQ(m.FieldEdit(9).palette().color(QPalette::Base), QColor(0, 0, 0));
    m.FieldEdit(9).setText(QStringLiteral("-5"));
    EXPECT_EQ(m.FieldEdit(9).palette().color(QPalette::Base), plain);
}

TEST_F(SkinManager, ReopeningRebuildsTheTableInPlaceAndOpenDialogIsNotReloaded)
{
    state.CurrentSkin = 2;
    QFile::remove(program.Path(QStringLiteral("Skin/skin2.ini")));
    WriteSkin(QStringLiteral("skin0"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontSize=9")});
    WriteSkin(QStringLiteral("skin3"), {QStringLiteral("[Version1.0]"), QStringLiteral("FontSize=33")});
    SkinManagerDialog& m = Open();
    ASSERT_EQ(state.Skins.Count(), 4);
    EXPECT_EQ(state.Skins[1].Name, QStringLiteral("skin1"));
    EXPECT_TRUE(state.Skins[2].Name.isEmpty());
    EXPECT_EQ(Value(3, 8), QStringLiteral("33"));
    EXPECT_EQ(state.Skins[4].Name, QStringLiteral("skin0"));
    EXPECT_EQ(state.CurrentSkin, 2);
    EXPECT_EQ(Items(m.SkinList()), QStringList({"skin1", "skin3", "skin0"}));
    // Menu entry i still stands for table index i.
    EXPECT_EQ(window->SkinItems().Captions(), QStringList({"自定义皮肤", "skin1", "skin2", "skin3", "skin0"}));

    m.FieldEdit(8).setText(QStringLiteral("edited"));
    window->ChooseSkin(0);
    EXPECT_EQ(m.FieldEdit(8).text(), QStringLiteral("edited"));
    m.close();
    EXPECT_EQ(&Open(), &m);
    EXPECT_EQ(m.FieldEdit(8).text(), QStringLiteral("11"));
}

TEST_F(SkinManager, BadNamesReadOnlyFilesAndEmptyNamesEndTheSaveSilently)
{
    SkinManagerDialog& m = Open();
    const QString path = program.Path(QStringLiteral("Skin/skin1.ini"));
    const QByteArray original = ReadBytes(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    m.FieldEdit(8).setText(QStringLiteral("20"));
    m.SaveButton().click();
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Value(1, 8), QStringLiteral("11"));

    m.NewSkinBox().click();
    // A name starting with "." would be a hidden file, never listed again.
    for (const QString& name : {QString(), QStringLiteral(".."), QStringLiteral("../逃"), QStringLiteral(".隐")}) {
        m.SkinName().setText(name);
        m.SaveButton().click();
    }
    EXPECT_EQ(QDir(program.Path(QStringLiteral("Skin"))).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(program.Root()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(m.SkinList().count(), 3);
    EXPECT_EQ(window->SkinItems().Count(), 4);
    EXPECT_EQ(state.Skins.Count(), 3);
    EXPECT_TRUE(prompter.messages.empty());
}

// The pickers belong to the dialog, so it stays in front of the main
// window while one is open; the picture picker starts on the JPG entry,
// the kind of the shipped pictures.
TEST_F(SkinManager, PickersAreTheDialogsOwnAndPicturesStartOnJpeg)
{
    SkinManagerDialog& m = Open();
    prompter.colours = {std::nullopt};
    prompter.fonts = {std::nullopt};
    prompter.files = {std::nullopt};
    QTest::mousePress(&m.FieldEdit(3), Qt::LeftButton);
    QTest::mousePress(&m.FieldEdit(1), Qt::LeftButton);
    QTest::mousePress(&m.FieldEdit(15), Qt::LeftButton);
    EXPECT_EQ(prompter.pickersOver, QList<QWidget*>(3, &m));
    EXPECT_EQ(prompter.startFilters, QList<int>{1});
    EXPECT_EQ(QtFileFilterEntry(prompter.filters.value(0), prompter.startFilters.value(0)),
              QStringLiteral("JPG文件 (*.jpg)"));
    EXPECT_EQ(QtFileFilterEntry(prompter.filters.value(0), 5), QString());
}

// A value the file cannot hold is refused over the dialog, naming the
// field; nothing is written or changed and the dialog stays open.
TEST_F(SkinManager, UnholdableValueIsRefusedAndTheFieldNamed)
{
    SkinManagerDialog& m = Open();
    m.show();
    const QString path = program.Path(QStringLiteral("Skin/skin1.ini"));
    const QByteArray original = ReadBytes(path);
    m.FieldEdit(15).setText(QStringLiteral("D://pics/c.jpg"));
    m.SaveButton().click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("封面图片")));
    EXPECT_EQ(prompter.messages[0].over, &m);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.FieldEdit(15).text(), QStringLiteral("D://pics/c.jpg"));
    EXPECT_EQ(Value(1, 15), QString());

    m.FieldEdit(15).setText(QStringLiteral("/pics/c.jpg"));
    m.SaveButton().click();
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(Value(1, 15), QStringLiteral("/pics/c.jpg"));
}

// Saving over a skin on a full disk used to leave its file empty, and the
// skin gone at the next start. Now the file stays whole, the dialog says
// why and stays open, and the table keeps the skin as it was.
TEST(SkinManagerOnAFullDisk, SaveFailsSayingWhyAndKeepsTheSkin)
{
    SmallDisk disk(64 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    QDir(disk.Root()).mkpath(QStringLiteral("Skin"));
    const QString path = disk.Path(QStringLiteral("Skin/水墨.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EncodeGb18030(QStringLiteral("[Version1.0]\r\nFontSize=12//主题字体大小\r\n")));
    }
    const QByteArray original = ReadBytes(path);
    ReaderState state;
    ScriptedPrompter prompter;
    MainWindow window(state, prompter, ReaderFolders::Portable(disk.Root()));
    LoadSkins(window);
    window.ChooseSkin(0);
    SkinManagerDialog& m = *window.SkinManagerIfMade();
    ASSERT_EQ(m.SkinName().text(), QStringLiteral("水墨"));
    ASSERT_TRUE(disk.Fill());
    m.FieldEdit(8).setText(QStringLiteral("20"));
    m.SaveButton().click();
    EXPECT_EQ(ReadBytes(path), original);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("水墨.ini")));
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(GetSkinValue(state.Skins, 0, QStringLiteral("FontSize"), 1), QStringLiteral("12"));
}

TEST(SkinManagerWithoutSkins, NameBoxIsOpenAndTheFirstSaveMakesSkinOne)
{
    TempFolder program;
    QDir(program.Root()).mkpath(QStringLiteral("Skin"));
    ReaderState state;
    ScriptedPrompter prompter;
    MainWindow window(state, prompter, ReaderFolders::Portable(program.Root()));
    window.ChooseSkin(0);
    auto& m = *window.SkinManagerIfMade();
    EXPECT_EQ(m.SkinList().count(), 0);
    EXPECT_FALSE(m.NewSkinBox().isChecked());
    EXPECT_TRUE(m.SkinName().isEnabled());
    EXPECT_EQ(m.FieldEdit(3).palette().color(QPalette::Base), QColor(0, 0, 0));
    m.SkinName().insert(QStringLiteral("初"));
    m.SaveButton().click();
    ASSERT_EQ(state.Skins.Count(), 1);
    EXPECT_EQ(window.SkinItems().Captions(), QStringList({"自定义皮肤", "初"}));
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("Skin/初.ini"))).count("\r\n"), 17);
}

}  // namespace
