#include "Mouse.h"

Mouse::Mouse() : area{0, 0, 0, 0} {}

bool Mouse::inArea(int x, int y) const
{
    return area.x < x && x < area.x + area.w && area.y < y && y < area.y + area.h;
}

bool Mouse::click(int, int, int*)
{
    return false;
}
