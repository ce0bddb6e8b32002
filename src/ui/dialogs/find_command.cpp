#include "ui/main/form4.h"

void Form4::find_Click()
{
}
