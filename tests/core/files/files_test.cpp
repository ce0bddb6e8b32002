#include "core/files/plain_file.h"
#include "core/files/text_file_writer.h"
#include "core/text/file_names.h"
#include "core/text/text_decoder.h"
#include "support/full_disk.h"
#include "support/test_files.h"

#include <QFile>

namespace {

// Text read from a stored file can hold an unpaired UTF-16 surrogate (a
// UTF-16 book.ini, or a field cut in the middle of an emoji). No file has
// such a name: the test says "no file" instead of throwing from the path
// conversion, which would end the program at every start.
TEST(PlainFile, UnpairedSurrogatesNameNoFile)
{
    TempFolder folder;
    const QString real = folder.WriteBytes(QStringLiteral("书😀.txt"), "x");
    EXPECT_TRUE(IsListedFile(real));
    const QString high = QString(QChar(0xD83D));
    const QString low = QString(QChar(0xDE00));
    for (const QString& path : {folder.Path(QStringLiteral("书") + high + QStringLiteral(".txt")),
                                folder.Path(low + QStringLiteral("书.txt")), folder.Path(QStringLiteral("书")) + high,
                                low + QStringLiteral("/tmp/x.txt"), real.left(real.indexOf(high) + 1)}) {
        EXPECT_NO_THROW(EXPECT_FALSE(IsListedFile(path)));
    }
}

// Every name the system can give comes back as the same bytes, whatever
// they are; GBK names read as Chinese, even where their bytes happen to
// be valid UTF-8 too (CE BC is "μ"); real text is left as it is.
TEST(FileNames, EveryNameKeepsItsBytes)
{
    const QByteArray names[] = {
        "/tmp/\xce\xf7\xd3\xce\xbc\xc7.txt",   "\xff\xfe\x80",     "\xed\xa0\x80 surrogate", "\xc0\xaf overlong",
        "\xf0\x90\x82\x80\xc7 pair then byte", "\xe4\xb8\xad\xe6", "/ascii/name.txt"};
    for (const QByteArray& name : names) {
        const QString path = PathFromNative(name);
        EXPECT_EQ(NativePath(path), name) << name.toHex().toStdString();
        if (name.isValidUtf8())
            EXPECT_FALSE(HoldsByteEscapes(path));
        else  // written into the settings files as the name's own bytes
            EXPECT_EQ(EncodeGb18030(path), name) << name.toHex().toStdString();
    }
    EXPECT_EQ(ReadablePath(PathFromNative(names[0])), QStringLiteral("/tmp/西游记.txt"));
    EXPECT_EQ(PathFromNative("\xe4\xb8\xad.txt"), QStringLiteral("中.txt"));
    EXPECT_EQ(EncodeGb18030(QStringLiteral("中")), QByteArray("\xd6\xd0"));
    EXPECT_TRUE(NativePath(QString(QChar(0xd800)) + u'x').isEmpty());
}

TEST(FileWriter, ReportsWhyAFileCouldNotBeWritten)
{
    TempFolder folder;
    const FileWriteResult written = WriteGb18030File(folder.Path(QStringLiteral("好.ini")), u"甲\r\n");
    EXPECT_TRUE(written);
    EXPECT_TRUE(written.reason.isEmpty());
    const FileWriteResult missingFolder = WriteGb18030File(folder.Path(QStringLiteral("无/好.ini")), u"甲\r\n");
    EXPECT_FALSE(missingFolder);
    EXPECT_FALSE(missingFolder.reason.isEmpty());
    // A folder where the file should be: the old "file" stays.
    QDir(folder.Root()).mkdir(QStringLiteral("夹.ini"));
    EXPECT_FALSE(WriteGb18030File(folder.Path(QStringLiteral("夹.ini")), u"x"));
    EXPECT_TRUE(QFileInfo(folder.Path(QStringLiteral("夹.ini"))).isDir());
}

// On a full disk the buffered write "succeeds" and only the flush fails;
// the old file must stay whole, and no temporary file may be left behind.
// A link planted where book.ini is saved is not written through: the file
// it points at stays as it was, and the user is told why.
TEST(FileWriter, NeverWritesThroughALink)
{
    TempFolder folder;
    const QString profile = folder.WriteBytes(QStringLiteral("profile"), "export PATH");
    const QString ini = folder.Path(QStringLiteral("book.ini"));
    ASSERT_TRUE(QFile::link(profile, ini));
    const FileWriteResult written = WriteGb18030File(ini, u"[Version1.0]\r\n");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason.isEmpty());
    EXPECT_EQ(ReadBytes(profile), "export PATH");
    EXPECT_TRUE(QFileInfo(ini).isSymLink());
}

TEST(FileWriter, FullDiskKeepsTheOldFileWhole)
{
    SmallDisk disk(32 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    const QString path = disk.Path(QStringLiteral("book.ini"));
    const QByteArray old =
        EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=/小说/甲.txt,Xcolor=,id=3,SelStart=1\r\n"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(old), old.size());
    }
    ASSERT_TRUE(disk.Fill());

    for (const qsizetype size : {qsizetype(60), qsizetype(100000)}) {
        const FileWriteResult result = WriteGb18030File(path, QString(size, u'书'));
        EXPECT_FALSE(result) << size;
        EXPECT_FALSE(result.reason.isEmpty());
        EXPECT_EQ(ReadBytes(path), old);
    }
    EXPECT_EQ(QDir(disk.Root()).entryList(QDir::Files), QStringList({QStringLiteral("book.ini")}));
}

}  // namespace

namespace {

// A save killed between its write and its rename leaves "book.ini.DLOOJF";
// the next start removes such files of ours and nothing else.
TEST(FileWriter, LeftOversOfAKilledSaveGoAtTheNextStart)
{
    TempFolder folder;
    const QStringList leftOvers = {QStringLiteral("book.ini.DLOOJF"), QStringLiteral("book.pos.a1B2c3"),
                                   QStringLiteral("Skin/水墨.ini.Qx7Yz9")};
    const QStringList kept = {QStringLiteral("book.ini"),         QStringLiteral("book.ini.bak"),
                              QStringLiteral("book.ini.DLOOJFX"), QStringLiteral("notes.ini.ABCDEF"),
                              QStringLiteral("Skin/水墨.ini"),    QStringLiteral("Skin/readme.txt.ABCDEF")};
    for (const QString& name : leftOvers + kept)
        folder.WriteBytes(name, "x");
    ASSERT_TRUE(QFile::link(folder.Path(QStringLiteral("book.ini")), folder.Path(QStringLiteral("book.pos.LINKED"))));
    EXPECT_EQ(RemoveStaleSaveFiles(folder.Root()), 3);
    for (const QString& name : leftOvers)
        EXPECT_FALSE(QFileInfo::exists(folder.Path(name))) << name.toStdString();
    for (const QString& name : kept + QStringList{QStringLiteral("book.pos.LINKED")})
        EXPECT_TRUE(QFileInfo::exists(folder.Path(name))) << name.toStdString();
}

}  // namespace
