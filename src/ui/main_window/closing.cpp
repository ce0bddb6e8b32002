// Closing the window writes book.ini and book.pos beside it, then ends the
// program; "退出" ends it without writing. A settings file that cannot be
// written is never lost in silence: the user is told before the program
// ends, and a close asked for by a signal says so on stderr and ends with a
// failure status.

#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/termination.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QString NotSavedText(const QString& what, const QString& path, const QString& reason)
{
    return what + QStringLiteral("\n文件: ") + QDir::toNativeSeparators(path) + QStringLiteral("\n原因: ") + reason;
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
    reader_->StopLoading();
    QStringList failures;
    const ReaderMemory::Saved saved = reader_->Save();
    if (!saved.bookIni)
        failures.append(NotSavedText(QStringLiteral("无法保存设置文件 book.ini，本次的阅读位置和皮肤没有记下。"),
                                     reader_->Memory().BookIniPath(), saved.bookIni.reason));
    if (!saved.bookPos)
        failures.append(
            NotSavedText(QStringLiteral("无法保存设置文件 book.pos，本次章节内的阅读位置和文字编码没有记下。"),
                         reader_->Memory().BookPosPath(), saved.bookPos.reason));
    int exitCode = 0;
    if (!failures.isEmpty()) {
        const QString text = failures.join(QStringLiteral("\n\n"));
        if (TerminationSignal() != 0) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
            exitCode = 1;
        } else {
            prompter_.Message(text, QStringLiteral("提示"), Prompter::Icon::Exclamation);
        }
    }
    EndProgram(exitCode, TerminationSignal() == 0);
}

void MainWindow::QuitWithoutSaving()
{
    EndProgram(0);
}

// A load in progress stops; the event loop ends, after a last sync when
// `syncFirst` asks for one.
void MainWindow::EndProgram(int exitCode, bool syncFirst)
{
    SaveWindowPlace();
    quitting_ = true;
    pageKeyTimer->stop();
    reader_->StopLoading();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    hide();
    // A signal that arrives during start-up, before the event loop runs,
    // has no loop to hand the failure status to.
    if (exitCode != 0 && TerminationSignal() != 0 && QThread::currentThread()->loopLevel() == 0)
        std::exit(exitCode);
    if (syncFirst && SyncBeforeEnd(exitCode))
        return;
    QCoreApplication::exit(exitCode);
}
