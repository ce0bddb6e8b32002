#include "ui/main/main_layout.h"

MainLayout LayoutForScreen(double screenWidth, double screenHeight)
{
    const double SW = screenWidth, SH = screenHeight;
    MainLayout l;
    l.Text1.width = SW - 2 * l.Text1.left;
    l.Label1.width = SW - 2 * l.Label1.left;
    l.Text1.height = SH - l.Text1.top - 1100;
    l.Text1.left = (SW - l.Text1.width) / 2;
    l.Picture1.width = l.Text1.width;
    l.Picture1.left = (SW - l.Picture1.width) / 2;
    l.Label1.left = (SW - l.Label1.width) / 2;
    l.Label1.height = SH - l.Label1.top;
    // The right column stands centred on the band's right edge, the left
    // column on its left edge, both at the right column's heights.
    l.Image1[0].left = l.Label1.left + l.Label1.width - l.Image1[0].width / 2;
    l.Image1[1].left = l.Image1[2].left = l.Image1[0].left;
    l.Label2[0].left = l.Image1[0].left + 150;
    l.Label2[1].left = l.Label2[2].left = l.Label2[0].left;
    l.Image2[0].left = l.Label1.left - l.Image2[0].width / 2;
    l.Image2[1].left = l.Image2[2].left = l.Image2[0].left;
    for (int k = 0; k < 3; ++k) {
        l.Image2[k].top = l.Image1[k].top;
        l.Label3[k].top = l.Label2[k].top;
    }
    l.Label3[0].left = l.Image2[0].left + 150;
    l.Label3[1].left = l.Label3[2].left = l.Label3[0].left;
    return l;
}
