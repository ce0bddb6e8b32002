#pragma once

#include "ui/main_window/main_window.h"
#include "ui/reading/reader.h"

#include <QTest>

// Runs the event loop until no book is being read or waiting, or the
// deadline passes. True when the reader is idle.
inline bool WaitUntilIdle(MainWindow& window, int deadlineMs = 60000)
{
    return QTest::qWaitFor([&window] { return !window.Reading().Loading(); }, deadlineMs);
}

// Opens `path` as start-up and the folder scan open a book, and waits
// until the reader has read it.
inline void OpenBook(MainWindow& window, const QString& path)
{
    window.Reading().Open({path}, Reader::OpenKind::Plain);
    WaitUntilIdle(window);
}
