// Closing the window writes book.ini and ends the program; "退出" ends it
// without writing. A book.ini that cannot be written is never lost in
// silence: the user is told before the program ends, and a close asked for
// by a signal says so on stderr and ends with a failure status.

#include "core/books/book_settings.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/termination.h"
#include "ui/widgets/reading_pane.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QString SettingsNotSavedText(const QString& path, const QString& reason)
{
    return QStringLiteral("无法保存设置文件 book.ini，本次的阅读位置和皮肤没有记下。\n文件: ")
        + QDir::toNativeSeparators(path) + QStringLiteral("\n原因: ") + reason;
}

}  // namespace

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (quitting_)
        return;  // "退出" is ending the program; nothing is written
    SaveSettingsAndEnd();
}

void MainWindow::SaveSettingsAndEnd()
{
    // From here on loads and the key timer stop at their next step, also
    // while the message below runs its own event loop.
    quitting_ = true;
    pageKeyTimer->stop();
    const QString path = folders_.StateFile(QString::fromUtf16(kBookIniName));
    const FileWriteResult written = WriteBookIni(path, state_, readingPane->SelStart());
    int exitCode = 0;
    if (!written) {
        const QString text = SettingsNotSavedText(path, written.Reason);
        if (TerminationSignal() != 0) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
            exitCode = 1;
        } else {
            prompter_.Message(text, QStringLiteral("提示"), Prompter::Icon::Exclamation);
        }
    }
    EndProgram(exitCode);
}

void MainWindow::QuitWithoutSaving()
{
    EndProgram(0);
}

// Loads in progress see the flag at their next yield and unwind without
// touching a widget; the event loop ends once they have.
void MainWindow::EndProgram(int exitCode)
{
    quitting_ = true;
    pageKeyTimer->stop();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    hide();
    // A signal that arrives during start-up, before the event loop runs,
    // has no loop to hand the failure status to.
    if (exitCode != 0 && TerminationSignal() != 0 && QThread::currentThread()->loopLevel() == 0)
        std::exit(exitCode);
    QCoreApplication::exit(exitCode);
}
