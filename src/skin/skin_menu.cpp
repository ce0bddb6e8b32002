#include "skin/skin_menu.h"

#include "ui/main/form4.h"

void LoadSkins(Form4& window)
{
    ReaderState& state = window.State();
    if (!LoadSkinFolder(state.Skins, window.ProgramFolder()))
        return;
    // Loading an entry that exists already fails and ends the run, so the
    // menu keeps the captions it got the first time.
    for (int i = 1; i <= state.Skins.Count(); ++i) {
        if (!window.skin->Load(i, state.Skins[i].Name))
            return;
    }
}
