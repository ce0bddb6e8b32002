#include "ui/dialogs/form5.h"
#include "ui/main/form4.h"

// Shows the folder scan modeless, at the process's current folder.
void Form4::openfils_Click()
{
    auto* dialog = qobject_cast<Form5*>(folderScan.data());
    if (!dialog) {
        dialog = new Form5(*this);
        folderScan = dialog;
    } else if (!dialog->isVisible()) {
        dialog->StartAtCurrentFolder();
    }
    dialog->show();
    dialog->raise();
}
