#include "core/library/library_store.h"
#include "support/library_changes.h"
#include "support/sqlite_peek.h"
#include "support/test_files.h"

#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <random>

namespace {

// A writer killed with SIGKILL at a random moment, a hundred times over the
// same library: each time the file passes SQLite's own check and holds
// every book of every change the writer had reported written.
TEST(LibraryCrash, KillingTheWriterNeverDamagesTheLibraryOrLosesAWrittenBook)
{
    TempFolder folder;
    const QString file = folder.Path(QStringLiteral("library.sqlite"));
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    // From before the library is open to a few dozen changes in.
    std::uniform_int_distribution<int> life(0, 60'000);
    QSet<QString> written;
    int next = 0;

    for (int run = 0; run < 100; ++run) {
        QProcess writer;
        writer.start(QStringLiteral(LIBRARY_WRITER_BINARY),
                     {file, QString::number(next), QString::number(life(random))});
        ASSERT_TRUE(writer.waitForFinished(10000)) << "the writer was not killed";
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << writer.readAllStandardError().constData();
        while (writer.canReadLine()) {
            const QByteArray line = writer.readLine().trimmed();
            ASSERT_TRUE(line.startsWith("committed ")) << line.constData();
            const int change = line.mid(10).toInt();
            for (const QString& path : BooksOfCrashChange(change))
                written.insert(path);
            next = change + 1;
        }

        ASSERT_EQ(PeekSqlite(file, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok")) << "run " << run;
        LibraryStore store(file);
        ASSERT_TRUE(store.IsOpen() && store.LastError().isEmpty()) << qPrintable(store.LastError());
        QSet<QString> present;
        for (const LibraryBook& book : store.Books())
            present.insert(book.path);
        ASSERT_TRUE(present.contains(written)) << "run " << run << ": " << (written - present).size() << " lost";
    }
    EXPECT_GT(written.size(), 100);
}

}  // namespace
