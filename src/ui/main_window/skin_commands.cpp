// The skin menu: entry 0 opens the skin manager, entry i makes skin i the
// one in use and remembers it for the current book.

#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/menu_item_array.h"

void MainWindow::ChooseSkin(int index)
{
    if (index == 0) {
        ShowSkinManager();
        return;
    }
    reader_->ChooseSkin(index);
}

void MainWindow::ExtendSkinMenu()
{
    const SkinTable& skins = state_.Skins;
    for (int i = skinItems->Count(); i <= skins.Count(); ++i) {
        if (!skinItems->Load(i, skins[i].Name))
            return;
    }
}
