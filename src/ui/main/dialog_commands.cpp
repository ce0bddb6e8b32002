// Commands that open the dialogs: folder scan, find and the skin manager.

#include "ui/main/form4.h"

void Form4::openfils_Click()
{
}

void Form4::find_Click()
{
}

void Form4::ShowSkinManager()
{
}
