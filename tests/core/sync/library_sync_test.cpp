// Two libraries standing for two computers, synced through a real WebDAV
// server (Apache's mod_dav) on 127.0.0.1.

#include "core/library/library_store.h"
#include "core/sync/sync_round.h"
#include "support/faulty_http_server.h"
#include "support/full_disk.h"
#include "support/test_files.h"
#include "support/webdav_server.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <future>
#include <map>

namespace {

// Each computer keeps the same books in a folder and under names of its own.
QByteArray BookText(int book)
{
    QString text;
    for (int chapter = 1; chapter <= 40; ++chapter)
        text += QStringLiteral("第%1章 书%2\n正文一行，第%1章。\n").arg(chapter).arg(book);
    return EncodeGb18030(text);
}

struct Computer {
    explicit Computer(const QString& name, int books = 4) : label(name)
    {
        for (int book = 0; book < books; ++book)
            paths.append(folder.WriteBytes(QStringLiteral("%1的书/小说%2.txt").arg(name).arg(book), BookText(book)));
    }

    QString Library() const { return folder.Path(QStringLiteral("library.sqlite")); }

    SyncOutcome Sync(const QUrl& server, int timeoutMs = 10000) const
    {
        return SyncLibraryOnce({.libraryPath = Library(),
                                .account = {server, QStringLiteral("reader"), QStringLiteral("secret")},
                                .label = label,
                                .timeoutMs = timeoutMs});
    }

    // Reads book `book` to `place`, as the reader notes it.
    void Read(int book, ReadingPlace place) const
    {
        LibraryStore store(Library());
        ASSERT_TRUE(store.NoteBook({.path = paths[book], .place = place}, QDateTime::currentDateTimeUtc()));
    }

    std::optional<LibraryBook> Book(int book) const { return LibraryStore(Library()).Book(paths[book]); }

    // What a reader sees: every book's place and every bookmark's note.
    QString Shelf() const
    {
        LibraryStore store(Library());
        QString shelf;
        for (int book = 0; book < paths.size(); ++book) {
            if (const std::optional<LibraryBook> known = store.Book(paths[book]))
                shelf += QStringLiteral("%1:%2.%3 ").arg(book).arg(known->place.chapter).arg(known->place.offset);
        }
        QStringList marks;
        for (const Bookmark& mark : store.Bookmarks())
            marks.append(mark.uid + QLatin1Char('=') + mark.note + QLatin1Char('@')
                         + QString::number(paths.indexOf(mark.path)));
        marks.sort();
        return shelf + marks.join(QLatin1Char(' '));
    }

    QString label;
    TempFolder folder;
    QStringList paths;
};

#define START_SERVER(server)                                                                                           \
    if (const QString why = WebDavServer::Unavailable(); !why.isEmpty())                                               \
        GTEST_SKIP() << qPrintable(why);                                                                               \
    ASSERT_TRUE((server).Start()) << qPrintable((server).ErrorLog())

}  // namespace

// A book read to chapter 30 on one computer is at chapter 30 on the other,
// which keeps it elsewhere under another name; a bookmark goes the other
// way; what both did while the server was down all arrives once it is back.
TEST(LibrarySync, PlacesAndBookmarksTravelAndWhatWasDoneOfflineArrives)
{
    WebDavServer server;
    START_SERVER(server);
    Computer a(QStringLiteral("家"));
    Computer b(QStringLiteral("路上"));
    {
        LibraryStore store(b.Library());
        ASSERT_TRUE(store.AddBooks({{.path = b.paths[0]}, {.path = b.paths[1]}, {.path = b.paths[2]}}));
    }
    a.Read(0, {30, 12});
    a.Read(1, {0, 0});
    ASSERT_TRUE(a.Sync(server.Url()).Ok());  // makes the folder on an empty server
    const SyncOutcome first = b.Sync(server.Url());
    ASSERT_TRUE(first.Ok()) << qPrintable(first.message);
    EXPECT_EQ(first.computers, 1);
    EXPECT_TRUE(first.movedPaths.contains(b.paths[0]));
    EXPECT_EQ(b.Book(0)->place, (ReadingPlace{30, 12}));

    {
        LibraryStore store(b.Library());
        ASSERT_TRUE(store.AddBookmark({.path = b.paths[1], .place = {3, 4}, .note = QStringLiteral("伏笔")}));
    }
    ASSERT_TRUE(b.Sync(server.Url()).Ok());
    ASSERT_TRUE(a.Sync(server.Url()).Ok());
    const QList<Bookmark> marks = LibraryStore(a.Library()).Bookmarks(a.paths[1]);
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].note, QStringLiteral("伏笔"));
    EXPECT_EQ(marks[0].place, (ReadingPlace{3, 4}));

    server.Stop();
    a.Read(2, {8, 1});
    b.Read(0, {31, 0});
    {
        LibraryStore store(a.Library());
        ASSERT_TRUE(store.SetBookmarkNote(marks[0].id, QStringLiteral("伏笔，第四回收")));
    }
    const QString before = a.Shelf();
    const SyncOutcome offline = a.Sync(server.Url());
    EXPECT_EQ(offline.fault, SyncFault::Offline);
    EXPECT_EQ(a.Shelf(), before);

    ASSERT_TRUE(server.Start());
    for (const Computer* computer : {&a, &b, &a})
        ASSERT_TRUE(computer->Sync(server.Url()).Ok());
    EXPECT_EQ(a.Book(0)->place, (ReadingPlace{31, 0}));
    EXPECT_EQ(b.Book(2)->place, (ReadingPlace{8, 1}));
    EXPECT_EQ(a.Shelf(), b.Shelf());
    EXPECT_TRUE(b.Shelf().contains(QStringLiteral("伏笔，第四回收")));
}

// Every fault of the server leaves the library as it was and says what
// happened; the next sync, with the server well again, goes through.
TEST(LibrarySync, EveryFaultLeavesTheLibraryAsItWasAndSaysWhy)
{
    Computer a(QStringLiteral("甲"));
    a.Read(0, {3, 0});
    const QString before = a.Shelf();
    const struct {
        FaultyHttpServer::Fault fault;
        int status;
        SyncFault expected;
    } faults[] = {
        {FaultyHttpServer::Fault::NeverAnswer, 0, SyncFault::TimedOut},
        {FaultyHttpServer::Fault::CutResponse, 0, SyncFault::ServerFailed},
        {FaultyHttpServer::Fault::Status, 401, SyncFault::PasswordRefused},
        {FaultyHttpServer::Fault::Status, 403, SyncFault::PasswordRefused},
        {FaultyHttpServer::Fault::Status, 503, SyncFault::ServerFailed},
        {FaultyHttpServer::Fault::Status, 507, SyncFault::ServerFull},
    };
    for (const auto& fault : faults) {
        FaultyHttpServer server(fault.fault, fault.status);
        // The round waits on a worker, as in the reader; this thread serves.
        std::future<SyncOutcome> round = std::async(std::launch::async, [&] { return a.Sync(server.Url(), 300); });
        while (round.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const SyncOutcome outcome = round.get();
        EXPECT_EQ(outcome.fault, fault.expected) << fault.status << " " << qPrintable(outcome.message);
        EXPECT_FALSE(outcome.message.isEmpty());
        EXPECT_EQ(a.Shelf(), before);
    }

    // A server whose disk is full takes nothing and loses nothing.
    SmallDisk disk(256 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "a full server needs a tmpfs, which needs root";
    WebDavServer server(WebDavServer::Options{.served = disk.Root()});
    START_SERVER(server);
    ASSERT_TRUE(a.Sync(server.Url()).Ok());
    a.Read(1, {9, 9});
    ASSERT_TRUE(disk.Fill());
    const QString full = a.Shelf();
    EXPECT_EQ(a.Sync(server.Url()).fault, SyncFault::ServerFull);
    EXPECT_EQ(a.Shelf(), full);
    QFile::remove(disk.Path(QStringLiteral(".filler")));
    ASSERT_TRUE(a.Sync(server.Url()).Ok());
    Computer b(QStringLiteral("乙"));
    {
        LibraryStore store(b.Library());
        ASSERT_TRUE(store.AddBooks({{.path = b.paths[1]}}));
    }
    ASSERT_TRUE(b.Sync(server.Url()).Ok());
    EXPECT_EQ(b.Book(1)->place, (ReadingPlace{9, 9}));
}

// A hundred rounds of changes on both computers, each synced while the
// server may be killed at any moment: at the end both libraries are equal
// and hold every change made (the last place of each book, every bookmark
// not deleted, each with its last note).
TEST(LibrarySync, KillingTheServerAtRandomMomentsLosesNoChange)
{
    WebDavServer server;
    START_SERVER(server);
    Computer a(QStringLiteral("甲"), 6);
    Computer b(QStringLiteral("乙"), 6);
    for (const Computer* computer : {&a, &b}) {  // both shelves hold all six books
        LibraryStore store(computer->Library());
        for (const QString& path : computer->paths)
            ASSERT_TRUE(store.AddBooks({{.path = path}}));
    }
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(seed);
    QRandomGenerator random(seed);

    std::map<int, ReadingPlace> places;  // book -> its last place
    std::map<QString, QString> notes;    // live bookmark uid -> its last note
    qint64 lastChange = 0;
    const auto nextMoment = [&] {  // changes a few ms apart, as people make them
        QElapsedTimer deadline;
        deadline.start();
        while (QDateTime::currentMSecsSinceEpoch() < lastChange + 5 && deadline.elapsed() < 1000) {
        }
        lastChange = QDateTime::currentMSecsSinceEpoch();
    };
    const auto change = [&](const Computer& computer, int round) {
        LibraryStore store(computer.Library());
        const QList<Bookmark> marks = store.Bookmarks();
        nextMoment();
        switch (random.bounded(4)) {
        case 0:
        case 1: {
            const int book = random.bounded(6);
            const ReadingPlace place{random.bounded(40), random.bounded(100)};
            if (store.Book(computer.paths[book])->place == place)
                break;  // staying where one is changes nothing
            ASSERT_TRUE(
                store.NoteBook({.path = computer.paths[book], .place = place}, QDateTime::currentDateTimeUtc()));
            places[book] = place;
            break;
        }
        case 2: {
            const int book = random.bounded(6);
            if (!store.Book(computer.paths[book]))
                break;
            const QString note = QStringLiteral("%1-%2").arg(computer.label).arg(round);
            qint64 id = 0;
            ASSERT_TRUE(store.AddBookmark({.path = computer.paths[book], .note = note}, &id));
            for (const Bookmark& mark : store.Bookmarks())
                if (mark.id == id)
                    notes[mark.uid] = note;
            break;
        }
        default:
            if (marks.isEmpty())
                break;
            const Bookmark& mark = marks[random.bounded(static_cast<int>(marks.size()))];
            if (random.bounded(2) == 0) {
                ASSERT_TRUE(store.RemoveBookmark(mark.id));
                notes.erase(mark.uid);
            } else {
                const QString note = QStringLiteral("改%1-%2").arg(computer.label).arg(round);
                ASSERT_TRUE(store.SetBookmarkNote(mark.id, note));
                if (notes.count(mark.uid))
                    notes[mark.uid] = note;
            }
        }
    };

    int killed = 0;
    int cutShort = 0;  // rounds the kill really broke off
    for (int round = 0; round < 100; ++round) {
        for (const Computer* computer : {&a, &b}) {
            for (int n = random.bounded(3); n >= 0; --n)
                change(*computer, round);
            std::future<SyncOutcome> sync =
                std::async(std::launch::async, [&] { return computer->Sync(server.Url(), 5000); });
            if (random.bounded(3) == 0) {  // killed a moment into the round
                QElapsedTimer moment;
                moment.start();
                const qint64 after = random.bounded(15);
                while (moment.elapsed() < after
                       && sync.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
                }
                server.Kill();
                ++killed;
            }
            const SyncOutcome outcome = sync.get();
            if (!server.Running()) {
                cutShort += outcome.Ok() ? 0 : 1;
                ASSERT_TRUE(server.Start()) << qPrintable(server.ErrorLog());
            } else
                ASSERT_TRUE(outcome.Ok()) << qPrintable(outcome.message) << qPrintable(server.ErrorLog());
        }
    }
    for (const Computer* computer : {&a, &b, &a})
        ASSERT_TRUE(computer->Sync(server.Url()).Ok());

    EXPECT_GT(killed, 10);
    EXPECT_GT(cutShort, 5);
    std::printf("%d kills, %d rounds broken off\n", killed, cutShort);
    EXPECT_EQ(a.Shelf(), b.Shelf());
    for (const auto& [book, place] : places) {
        ASSERT_TRUE(a.Book(book));
        EXPECT_EQ(a.Book(book)->place, place) << "book " << book;
    }
    QStringList expected;
    for (const auto& [uid, note] : notes)
        expected.append(uid + QLatin1Char('=') + note);
    QStringList found;
    for (const Bookmark& mark : LibraryStore(b.Library()).Bookmarks())
        found.append(mark.uid + QLatin1Char('=') + mark.note);
    expected.sort();
    found.sort();
    EXPECT_EQ(found, expected);
}
