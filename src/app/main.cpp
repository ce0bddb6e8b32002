#include "core/books/reader_state.h"
#include "core/files/reader_folders.h"
#include "core/files/text_file_writer.h"
#include "core/text/file_names.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/command_line.h"
#include "ui/platform/fonts.h"
#include "ui/platform/key_state.h"
#include "ui/platform/prompter.h"
#include "ui/platform/qt_chinese.h"
#include "ui/platform/single_instance.h"
#include "ui/platform/termination.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

namespace {

const QString kAppId = QStringLiteral(TXTREADER_APP_ID);

QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(PathFromNative(argv[i]));
    return arguments;
}

// --help, --version or a refused command line: printed without a window,
// so they work without a display.
int PrintAndEnd(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    InstallQtChinese();
    const CommandLine line = ParseCommandLine(QCoreApplication::arguments(), QDir::currentPath());
    std::FILE* stream = line.ToStandardError() ? stderr : stdout;
    std::fputs(line.output.toLocal8Bit().constData(), stream);
    return line.ExitCode();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("txtreader"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TXTREADER_VERSION));
    const CommandLine line = ParseCommandLine(Arguments(argc, argv), QDir::currentPath());
    if (line.action != CommandLine::Action::Run)
        return PrintAndEnd(argc, argv);

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(kAppId);
    InstallQtChinese();
    const ReaderFolders folders = ReaderFolders::ForProgram(
        QCoreApplication::applicationDirPath(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!folders.IsPortable())
        QDir().mkpath(folders.state);

    SingleInstance instance(folders.state);
    switch (instance.Claim(line.books)) {
    case SingleInstance::Role::First: break;
    case SingleInstance::Role::HandedOver: return 0;
    case SingleInstance::Role::NoAnswer:
        std::fputs(qPrintable(QStringLiteral("另一个阅读器正在使用 %1，但没有应答。\n").arg(folders.state)), stderr);
        return 1;
    }

    // This is the only reader of the state folder now: what a save killed
    // half-way left there goes.
    RemoveStaleSaveFiles(folders.state);
    RegisterFontSubstitutions();
    ReaderState state;
    DialogPrompter prompter;
    KeyState keys;
    MainWindow window(state, prompter, folders);
    prompter.SetParent(&window);
    window.SetKeyState(&keys);
    CloseOnTerminationSignal(&window);
    StartUp(window, line.books);
    instance.DeliverTo([&window](const QStringList& books) {
        BringToFront(window);
        window.OpenPaths(books);
    });
    // Closed while the first book was still loading: nothing left to run.
    if (window.Quitting())
        return 0;
    return app.exec();
}
