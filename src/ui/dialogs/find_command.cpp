#include "ui/dialogs/findword.h"
#include "ui/main/form4.h"

void Form4::find_Click()
{
    try {
        // Made on first use; a search only hides it, so it comes back as
        // it was left.
        if (!findDialog)
            findDialog = new findword(*this);
        findDialog->show();
        findDialog->raise();
        findDialog->activateWindow();
    } catch (...) {
    }
}
