#include "Gp2x.h"

namespace Gp2x {

int version()
{
    static int known = -1;
    if (known < 0)
        known = 400;
    return known;
}

namespace {

struct Transform {
    int scale = 1, offsetX = 0, offsetY = 0;
};

Transform& display()
{
    static Transform t;
    return t;
}

// Rounds toward negative infinity, so that positions left of or above the
// picture stay outside it.
int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

void setDisplay(int scale, int offsetX, int offsetY)
{
    display() = Transform{scale < 1 ? 1 : scale, offsetX, offsetY};
}

void reverseCoordsIfNeeded(int* x, int* y)
{
    // Later hardware revisions (above version 400) are not supported; their
    // coordinates are used as this one's.
    const Transform& t = display();
    *x = floorDiv(*x - t.offsetX, t.scale);
    *y = floorDiv(*y - t.offsetY, t.scale);
}

} // namespace Gp2x
