#include "ElevationProfile.h"

#include <algorithm>

ElevationProfile ElevationProfile::build(const std::vector<double>& along, const std::vector<float>& heights, int width)
{
    ElevationProfile p;
    if (width <= 0 || along.empty() || along.size() != heights.size())
        return p;
    p.columns.resize(static_cast<std::size_t>(width));
    p.length = along.back();
    const double perColumn = p.length > 0 ? width / p.length : 0;
    for (std::size_t i = 0; i < along.size(); ++i) {
        const int x = std::min(width - 1, static_cast<int>(along[i] * perColumn));
        Column& c = p.columns[static_cast<std::size_t>(x)];
        const float h = heights[i];
        if (c.low != c.low || along[c.point] * perColumn < x + 0.5 - 1e-9)
            c.point = i;
        if (h != h)
            continue;
        c.low = c.low == c.low ? std::min(c.low, h) : h;
        c.high = c.high == c.high ? std::max(c.high, h) : h;
        p.lowest = p.lowest == p.lowest ? std::min(p.lowest, h) : h;
        p.highest = p.highest == p.highest ? std::max(p.highest, h) : h;
    }
    // Columns no point fell in (a long straight hop) take their neighbour's point.
    for (std::size_t x = 1; x < p.columns.size(); ++x)
        if (p.columns[x].point == 0 && p.columns[x].low != p.columns[x].low)
            p.columns[x].point = p.columns[x - 1].point;
    return p;
}

double ElevationProfile::step(int lines) const
{
    const double range = highest - lowest;
    if (!(range > 0) || lines <= 0)
        return 10;
    double power = std::pow(10.0, std::floor(std::log10(range / lines)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (range / (m * power) <= lines)
            return m * power;
    return 10 * power;
}
