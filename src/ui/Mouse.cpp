#include "Mouse.h"

Mouse::Mouse() : area{0, 0, 0, 0} {}

bool Mouse::inArea(int x, int y) const
{
    return inside(area, x, y);
}

bool Mouse::inside(const SDL_Rect& box, int x, int y)
{
    return box.x < x && x < box.x + box.w && box.y < y && y < box.y + box.h;
}

bool Mouse::click(int, int, int*)
{
    return false;
}
