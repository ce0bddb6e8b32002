// Writes changes into a library without end, saying "committed N" on its
// standard output after change N is written, until it is killed: by
// itself with SIGKILL once the microseconds it was given have passed
// (counted from its start, so the moment falls anywhere in opening the
// library or in a change), or by whoever started it.

#include "core/library/library_store.h"
#include "support/library_changes.h"

#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: library_writer LIBRARY FIRST_CHANGE MICROSECONDS_TO_LIVE\n");
        return 2;
    }
    std::thread([life = std::chrono::microseconds(args[3].toLongLong())] {
        std::this_thread::sleep_for(life);
        std::raise(SIGKILL);
    }).detach();

    LibraryStore store(args[1]);
    if (!store.IsOpen()) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(store.LastError()));
        return 1;
    }
    for (int change = args[2].toInt();; ++change) {
        const FileWriteResult written = MakeCrashChange(store, change);
        if (!written) {
            std::fprintf(stderr, "change %d failed: %s\n", change, qPrintable(written.reason));
            return 1;
        }
        std::printf("committed %d\n", change);
        std::fflush(stdout);
    }
}
