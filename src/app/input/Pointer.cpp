#include "Pointer.h"

#include <cstdlib>

void Pointer::press(int x, int y, bool wasEarly)
{
    down = true;
    dragging = false;
    early = wasEarly;
    startX = lastX = x;
    startY = lastY = y;
}

bool Pointer::motion(int x, int y, bool canDrag, int* dx, int* dy)
{
    if (!down)
        return false;
    if (!dragging) {
        if (!canDrag || (std::abs(x - startX) <= dragThreshold && std::abs(y - startY) <= dragThreshold))
            return false;
        dragging = true;
    }
    // The map moves against the pointer: dragging right shows what lies left.
    *dx = lastX - x;
    *dy = lastY - y;
    lastX = x;
    lastY = y;
    return true;
}

bool Pointer::release(int* x, int* y)
{
    if (!down)
        return false;
    down = false;
    if (dragging || early)
        return false;
    *x = startX;
    *y = startY;
    return true;
}
