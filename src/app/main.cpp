#include "app/reader_state.h"
#include "app/start_up.h"
#include "platform/fonts.h"
#include "platform/key_state.h"
#include "platform/prompter.h"
#include "platform/termination.h"
#include "ui/main/form4.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    ReaderState state;
    DialogPrompter prompter;
    KeyState keys;
    Form4 window(state, prompter, QCoreApplication::applicationDirPath());
    prompter.SetParent(&window);
    window.SetKeyState(&keys);
    CloseOnTerminationSignal(&window);
    StartUp(window);
    // Closed while the help document was still loading: nothing left to run.
    if (window.Quitting())
        return 0;
    return app.exec();
}
