// The skin menu: entry 0 opens the skin manager, entry i makes skin i the
// one in use and remembers it for the current book.

#include "ui/main_window/main_window.h"
#include "ui/reading/apply_skin.h"
#include "ui/widgets/menu_item_array.h"

void MainWindow::ChooseSkin(int index)
{
    if (skinItems->Caption(index) == QStringLiteral("空"))
        return;
    if (index == 0) {
        ShowSkinManager();
        return;
    }
    // An index beyond 255 does not fit: the skin in use stays, and the
    // remaining steps run with it.
    if (index <= 255)
        state_.CurrentSkin = static_cast<std::uint8_t>(index);
    if (state_.Books.IsBook(state_.CurrentBook))
        state_.Current().SkinIndex = state_.CurrentSkin;
    ApplySkin(*this);
}
