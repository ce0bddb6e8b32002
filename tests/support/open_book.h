#pragma once

#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

// Runs the event loop until no book is being read or waiting, or the
// deadline passes. True when the reader is idle. (Not a nested QEventLoop:
// a test that closed its window has told every later exec() to return.)
inline bool WaitUntilIdle(MainWindow& window, int deadlineMs = 60000)
{
    const Reader& reader = window.Reading();
    const QDeadlineTimer deadline(deadlineMs);
    QTimer wake;  // so the deadline is seen when nothing else happens
    wake.start(50);
    while (reader.Loading() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return !reader.Loading();
}

// Opens `path` as start-up and the folder scan open a book, and waits
// until the reader has read it.
inline void OpenBook(MainWindow& window, const QString& path)
{
    window.Reading().Open({path}, Reader::OpenKind::Plain);
    WaitUntilIdle(window);
}
