// Closing the window writes book.ini and ends the program; "退出" ends it
// without writing.

#include "app/book_settings.h"
#include "ui/main/form4.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>

void Form4::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (quitting_)
        return;  // "退出" is ending the program; nothing is written
    Form_Unload();
}

void Form4::Form_Unload()
{
    // A failed write loses this run's settings silently; the old file stays.
    WriteBookIni(QDir(programFolder_).filePath(QString::fromUtf16(kBookIniName)), state_, Text1->SelStart());
    EndProgram();
}

void Form4::quit_Click()
{
    EndProgram();
}

// Loads in progress see the flag at their next yield and unwind without
// touching a widget; the event loop ends once they have.
void Form4::EndProgram()
{
    quitting_ = true;
    Timer1->stop();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    hide();
    QCoreApplication::quit();
}
