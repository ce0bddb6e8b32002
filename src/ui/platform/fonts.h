#pragma once

// Skins and the window name Windows font families ("隶书", "黑体", "宋体",
// "楷体"). Map them to installed CJK faces so Chinese text never shows as
// boxes.
void RegisterFontSubstitutions();
