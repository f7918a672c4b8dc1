#include "Gp2x.h"

namespace Gp2x {

int version()
{
    static int known = -1;
    if (known < 0)
        known = 400;
    return known;
}

void reverseCoordsIfNeeded(int* x, int* y)
{
    if (version() <= 400)
        return;
    // Later hardware revisions are not supported; their coordinates are
    // used unchanged as well.
    (void)x;
    (void)y;
}

} // namespace Gp2x
