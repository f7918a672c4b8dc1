#include "Placement.h"

#include <algorithm>

namespace {

// Rounds toward negative infinity, so that positions left of or above the
// picture stay outside it.
int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

Placement Placement::fit(int w, int h, int canvasW, int canvasH, int requested, bool fullscreen)
{
    Placement p;
    p.scale = std::max(1, fullscreen ? std::min(w / canvasW, h / canvasH) : requested);
    p.offsetX = (w - p.scale * canvasW) / 2;
    p.offsetY = (h - p.scale * canvasH) / 2;
    return p;
}

void Placement::toCanvas(int* x, int* y) const
{
    *x = floorDiv(*x - offsetX, scale);
    *y = floorDiv(*y - offsetY, scale);
}
