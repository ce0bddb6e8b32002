// Closing the window writes book.ini and ends the program; "退出" ends it
// without writing.

#include "core/books/book_settings.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/reading_pane.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QTimer>

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (quitting_)
        return;  // "退出" is ending the program; nothing is written
    SaveSettingsAndEnd();
}

void MainWindow::SaveSettingsAndEnd()
{
    // A failed write loses this run's settings silently; the old file stays.
    WriteBookIni(folders_.StateFile(QString::fromUtf16(kBookIniName)), state_, readingPane->SelStart());
    EndProgram();
}

void MainWindow::QuitWithoutSaving()
{
    EndProgram();
}

// Loads in progress see the flag at their next yield and unwind without
// touching a widget; the event loop ends once they have.
void MainWindow::EndProgram()
{
    quitting_ = true;
    pageKeyTimer->stop();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    hide();
    QCoreApplication::quit();
}
