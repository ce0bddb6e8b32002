// The real program, started in a program folder of its own and closed
// through its window: what it writes to book.ini is checked byte for byte.

#include "e2e/reader_run.h"

namespace {

using e2e::kHelpDocument;
using e2e::ReaderRun;

// Closes the reader once it has shown its help document; the exit code.
int ReadHelpAndClose(const QString& programFolder)
{
    ReaderRun reader(programFolder);
    EXPECT_TRUE(reader.WaitUntilReading()) << reader.Errors().toStdString();
    return reader.Close();
}

TEST(EndToEnd, ClosingWritesBookIniAndTheNextStartReadsIt)
{
    TempFolder program;
    e2e::MakeProgramFolder(program.Root());
    TempFolder books;
    const QString older = books.WriteGbk(QStringLiteral("旧书.txt"), QStringLiteral("第一章\r\n正文\r\n"));
    program.WriteGbk(QStringLiteral("book.ini"), "[Version1.0]\r\nName=" + older + ",Xcolor=言情,id=3,SelStart=9\r\n");

    // The help document is the one book of this run, on its contents view;
    // no skin was ever chosen for it; the older line is dropped.
    const QByteArray expected = EncodeGb18030("[Version1.0]\r\nName=" + program.Path(kHelpDocument)
                                              + QStringLiteral(",Xcolor=,id=-1,SelStart=1\r\n"));
    EXPECT_EQ(ReadHelpAndClose(program.Root()), 0);
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), expected);

    // A second start reads that file and, closed again, writes the same.
    EXPECT_EQ(ReadHelpAndClose(program.Root()), 0);
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), expected);
}

}  // namespace
