#include "ui/skins/skin_menu.h"

#include "ui/reading/reader_view.h"
#include "ui/widgets/menu_item_array.h"

void LoadSkins(ReaderView& view)
{
    ReaderState& state = view.State();
    if (!LoadSkinFolder(state.Skins, view.Folders()))
        return;
    // Loading an entry that exists already fails and ends the run, so the
    // menu keeps the captions it got the first time.
    for (int i = 1; i <= state.Skins.Count(); ++i) {
        if (!view.SkinItems().Load(i, state.Skins[i].Name))
            return;
    }
}

void ExtendSkinMenu(ReaderView& view)
{
    const SkinTable& skins = view.State().Skins;
    MenuItemArray& menu = view.SkinItems();
    for (int i = menu.Count(); i <= skins.Count(); ++i) {
        if (!menu.Load(i, skins[i].Name))
            return;
    }
}
