// "自定义皮肤" in the skin menu: the skin manager, beside the main window.

#include "skin/skin_manager.h"
#include "ui/main/form4.h"

void Form4::ShowSkinManager()
{
    auto* manager = qobject_cast<SSkin*>(skinManager.data());
    // Already open: brought forward, not read again.
    if (manager && manager->isVisible()) {
        manager->raise();
        manager->activateWindow();
        return;
    }
    if (!manager) {
        manager = new SSkin(*this);
        skinManager = manager;
    }
    manager->Form_Load();
    manager->show();
}
