#pragma once

class Form4;

// Appends every skin of the skin folder to the skin table and, while the
// skin menu holds no skin entries yet, one menu entry per skin.
void LoadSkins(Form4& window);
