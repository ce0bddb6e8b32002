// The skin menu: entry 0 opens the skin manager, entry i makes skin i the
// one in use and remembers it for the current book.

#include "skin/apply_skin.h"
#include "ui/main/form4.h"

void Form4::skin_Click(int index)
{
    if (skin->Caption(index) == QStringLiteral("空"))
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
