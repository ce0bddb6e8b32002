// The real program against stored files it did not expect and a disk that
// is really full: it starts, closes, and never loses or empties a file.

#include "e2e/reader_run.h"
#include "support/full_disk.h"

#include <QFileInfo>

namespace {

using e2e::kHelpDocument;
using e2e::MakeProgramFolder;
using e2e::ReaderRun;

// Closes the reader once start-up is over, as a desktop session ends; the
// exit code.
int StartAndClose(ReaderRun& reader)
{
    EXPECT_TRUE(reader.WaitUntilReading()) << reader.Errors().toStdString();
    return reader.Close();
}

QByteArray Utf16WithBom(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

QString HelpLine(const QString& program)
{
    return QStringLiteral("Name=") + QDir(program).filePath(kHelpDocument)
        + QStringLiteral(",Xcolor=,id=-1,SelStart=1");
}

// An unpaired surrogate in a stored path made the path conversion throw:
// std::terminate, exit 134, at every start. Each stored file here holds
// one; the program must start and close normally all the same.
TEST(StoredFiles, UnpairedSurrogatesNeitherCrashNorStopTheStart)
{
    TempFolder program;
    MakeProgramFolder(program.Root());
    const QString lone = QString(QChar(0xD83D));
    const QByteArray expected = EncodeGb18030(QStringLiteral("[Version1.0]\r\n") + HelpLine(program.Root()) + "\r\n");

    // GBK book.ini: "Name" and half an emoji are the five characters dropped.
    program.WriteGbk(QStringLiteral("book.ini"),
                     QStringLiteral("[Version1.0]\r\nName😀/tmp/x.txt,Xcolor=,id=0,SelStart=1\r\n"));
    {
        ReaderRun reader(program.Root());
        EXPECT_EQ(StartAndClose(reader), 0) << reader.Errors().toStdString();
    }
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), expected);

    // UTF-16 book.ini with a lone surrogate in a path, and the default skin
    // (UTF-16 too) naming pictures with lone surrogates.
    program.WriteBytes(QStringLiteral("book.ini"),
                       Utf16WithBom(QStringLiteral("[Version1.0]\r\nName=/tmp/") + lone
                                    + QStringLiteral(".txt,Xcolor=言情,id=1,SelStart=1\r\n")));
    program.WriteBytes(QStringLiteral("Skin/言情.ini"),
                       Utf16WithBom(QStringLiteral("[Version1.0]\r\nMainPicture=\\SImage\\") + lone
                                    + QStringLiteral(".jpg//标题图片\r\nFbackPicture=/tmp/") + lone
                                    + QStringLiteral("//封面图片\r\n")));
    {
        ReaderRun reader(program.Root());
        EXPECT_EQ(StartAndClose(reader), 0) << reader.Errors().toStdString();
    }
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), expected);
}

// A full disk used to empty book.ini and end with status 0. Closed by a
// signal there is no user to show a box to: the reason goes to stderr, the
// status says the close failed, and the old book.ini stays whole.
TEST(StoredFiles, FullDiskOnCloseBySignalKeepsBookIniAndFails)
{
    const qint64 room = QFileInfo(QStringLiteral(TXTREADER_BINARY)).size() + 1024 * 1024;
    SmallDisk disk(room);
    SKIP_UNLESS_MOUNTED(disk);
    MakeProgramFolder(disk.Root());
    const QByteArray old =
        EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=/小说/甲.txt,Xcolor=言情,id=3,SelStart=1\r\n"));
    {
        QFile ini(disk.Path(QStringLiteral("book.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ASSERT_EQ(ini.write(old), old.size());
    }
    ASSERT_TRUE(disk.Fill());

    ReaderRun reader(disk.Root());
    EXPECT_EQ(StartAndClose(reader), 1);
    EXPECT_TRUE(reader.Errors().contains(disk.Path(QStringLiteral("book.ini")))) << reader.Errors().toStdString();
    EXPECT_EQ(ReadBytes(disk.Path(QStringLiteral("book.ini"))), old);
}

}  // namespace
