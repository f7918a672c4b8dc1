#include "DrawingWork.h"

#include <algorithm>
#include <cmath>

void DrawingWork::edge(double y0, double y1, double reach, int count, double price)
{
    pending += count * price;
    const double top = std::min(y0, y1) - reach, bottom = std::max(y0, y1) + reach;
    if (!(bottom >= 0 && top < size)) // outside the picture, or not a number
        return;
    const int first = static_cast<int>(std::max(0.0, std::floor(top)));
    const int last = static_cast<int>(std::min(size - 1.0, std::floor(bottom)));
    changes[static_cast<std::size_t>(first)] += count;
    changes[static_cast<std::size_t>(last) + 1] -= count;
}

bool DrawingWork::settle()
{
    double rows = 0;
    long long crossing = 0;
    for (int y = 0; y < size; ++y) {
        crossing += changes[static_cast<std::size_t>(y)];
        if (crossing > 0)
            rows += 16.0 * static_cast<double>(crossing) * std::log2(static_cast<double>(crossing) + 2);
    }
    std::fill(changes.begin(), changes.end(), 0);
    spent += rows + pending;
    pending = 0;
    return !over();
}
