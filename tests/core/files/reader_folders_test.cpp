// Where a reader reads its data and writes book.ini and saved skins,
// decided from the program folder alone: a portable copy keeps everything
// beside the program, an installed one never writes under its prefix.

#include "core/files/reader_folders.h"
#include "support/read_only_folder.h"
#include "support/test_files.h"

#include <QDir>

namespace {

// An install prefix: bin/ for the program, share/txtreader/ for its data.
struct Prefix {
    TempFolder root;
    TempFolder user;
    QString Bin() const { return root.Path(QStringLiteral("bin")); }
    QString Share() const { return root.Path(QStringLiteral("share/txtreader")); }
    Prefix()
    {
        QDir().mkpath(Bin());
        QDir().mkpath(Share() + QStringLiteral("/Skin"));
    }
};

TEST(ReaderFolders, AWritableProgramFolderWithSkinsIsPortable)
{
    TempFolder program;
    TempFolder user;
    QDir().mkpath(program.Path(QStringLiteral("Skin")));
    const ReaderFolders folders = ReaderFolders::ForProgram(program.Root(), user.Root());
    EXPECT_EQ(folders.data, program.Root());
    EXPECT_EQ(folders.state, program.Root());
    EXPECT_TRUE(folders.IsPortable());
    EXPECT_EQ(folders.StateFile(QStringLiteral("book.ini")), program.Path(QStringLiteral("book.ini")));

    // A file named Skin is not a skin folder; with nothing shipped anywhere
    // a writable folder still keeps what the reader writes.
    TempFolder bare;
    bare.WriteBytes(QStringLiteral("Skin"), "not a folder");
    EXPECT_TRUE(ReaderFolders::ForProgram(bare.Root(), user.Root()).IsPortable());
}

// A program folder others may write in is no place for book.ini: another
// user could plant a link there. The reader writes in the user's folder.
TEST(ReaderFolders, AProgramFolderOthersMayWriteIsNotPortable)
{
    TempFolder program;
    TempFolder user;
    QDir().mkpath(program.Path(QStringLiteral("Skin")));
    ASSERT_TRUE(QFile::setPermissions(program.Root(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther));
    const ReaderFolders folders = ReaderFolders::ForProgram(program.Root(), user.Root());
    EXPECT_EQ(folders.data, program.Root());
    EXPECT_EQ(folders.state, user.Root());
}

TEST(ReaderFolders, AnInstalledProgramReadsTheShareFolderAndWritesTheUsers)
{
    Prefix prefix;
    const ReaderFolders folders = ReaderFolders::ForProgram(prefix.Bin(), prefix.user.Root());
    EXPECT_EQ(folders.data, prefix.Share());
    EXPECT_EQ(folders.state, prefix.user.Root());
    EXPECT_FALSE(folders.IsPortable());
    EXPECT_EQ(folders.DataFile(QStringLiteral("SImage/2.jpg")), prefix.Share() + QStringLiteral("/SImage/2.jpg"));

    // Skins beside the program win over the share folder: a copy of the
    // build folder dropped into bin/ is portable again.
    QDir().mkpath(prefix.Bin() + QStringLiteral("/Skin"));
    EXPECT_TRUE(ReaderFolders::ForProgram(prefix.Bin(), prefix.user.Root()).IsPortable());
}

TEST(ReaderFolders, AReadOnlyPrefixIsNeverWhereTheReaderWrites)
{
    Prefix prefix;
    const ReadOnlyFolder locked(prefix.root.Root());
    if (!locked.Made())
        GTEST_SKIP() << locked.Why().toStdString();
    EXPECT_EQ(ReaderFolders::ForProgram(prefix.Bin(), prefix.user.Root()).state, prefix.user.Root());

    // A portable copy on a read-only medium still reads its own skins.
    TempFolder copy;
    TempFolder user;
    QDir().mkpath(copy.Path(QStringLiteral("Skin")));
    const ReadOnlyFolder lockedCopy(copy.Root());
    ASSERT_TRUE(lockedCopy.Made()) << lockedCopy.Why().toStdString();
    const ReaderFolders fromCopy = ReaderFolders::ForProgram(copy.Root(), user.Root());
    EXPECT_EQ(fromCopy.data, copy.Root());
    EXPECT_EQ(fromCopy.state, user.Root());

    // So does a bare program without any data on a read-only medium.
    TempFolder bare;
    const ReadOnlyFolder lockedBare(bare.Root());
    ASSERT_TRUE(lockedBare.Made()) << lockedBare.Why().toStdString();
    EXPECT_EQ(ReaderFolders::ForProgram(bare.Root(), user.Root()).state, user.Root());
}

}  // namespace
