#include "ui/main/form4.h"

void Form4::openfils_Click()
{
}
