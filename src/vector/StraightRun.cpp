#include "StraightRun.h"

#include <algorithm>
#include <cmath>

namespace {

// True when every point strictly between first and last lies within
// `tolerance` of the chord joining them.
bool straight(const std::vector<StraightRun::Point>& line, std::size_t first, std::size_t last, double tolerance)
{
    const StraightRun::Point a = line[first], b = line[last];
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (length == 0)
        return false;
    for (std::size_t i = first + 1; i < last; ++i) {
        const double across = std::fabs((line[i].x - a.x) * dy - (line[i].y - a.y) * dx) / length;
        const double along = ((line[i].x - a.x) * dx + (line[i].y - a.y) * dy) / length;
        if (across > tolerance || along < 0 || along > length) // no turning back on itself
            return false;
    }
    return true;
}

} // namespace

StraightRun StraightRun::longest(const std::vector<Point>& line, double tolerance)
{
    StraightRun best;
    const std::size_t n = std::min(line.size(), maxPoints);
    std::size_t last = 0;
    for (std::size_t first = 0; first + 1 < n; ++first) {
        // A run from the point before that reached `last` most likely
        // reaches it from here too: the search starts there.
        last = std::max(last, first + 1);
        if (!straight(line, first, last, tolerance))
            last = first + 1;
        while (last + 1 < n && straight(line, first, last + 1, tolerance))
            ++last;
        const double length = std::hypot(line[last].x - line[first].x, line[last].y - line[first].y);
        if (length > best.length)
            best = StraightRun{first, last, length};
    }
    return best;
}
