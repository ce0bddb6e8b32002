#include "core/books/reader_state.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_up.h"
#include "ui/platform/fonts.h"
#include "ui/platform/key_state.h"
#include "ui/platform/prompter.h"
#include "ui/platform/termination.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    ReaderState state;
    DialogPrompter prompter;
    KeyState keys;
    MainWindow window(state, prompter, ReaderFolders::Portable(QCoreApplication::applicationDirPath()));
    prompter.SetParent(&window);
    window.SetKeyState(&keys);
    CloseOnTerminationSignal(&window);
    StartUp(window);
    // Closed while the help document was still loading: nothing left to run.
    if (window.Quitting())
        return 0;
    return app.exec();
}
