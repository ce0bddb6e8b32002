#pragma once

class ReaderView;

// Appends every skin of the skin folder to the skin table and, while the
// skin menu holds no skin entries yet, one menu entry per skin.
void LoadSkins(ReaderView& view);

// Gives the skin menu an entry for every skin of the table that has none
// yet, so that menu entry i keeps standing for table index i.
void ExtendSkinMenu(ReaderView& view);
