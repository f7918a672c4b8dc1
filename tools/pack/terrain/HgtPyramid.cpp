#include "HgtPyramid.h"

#include <algorithm>
#include <cmath>

HgtPyramid::HgtPyramid(const HgtTile& tile) : corner{tile.south, tile.west}
{
    Level base{tile.samples, std::vector<float>(tile.heights.size())};
    for (std::size_t i = 0; i < tile.heights.size(); ++i)
        base.z[i] = tile.heights[i] == HgtTile::voidValue ? NAN : static_cast<float>(tile.heights[i]);
    levels.push_back(std::move(base));
    while (static_cast<int>(levels.size()) <= maxHalvings && (levels.back().edge - 1) % 2 == 0) {
        const Level& from = levels.back();
        Level half{(from.edge - 1) / 2 + 1, {}};
        half.z.resize(static_cast<std::size_t>(half.edge) * half.edge);
        for (int y = 0; y < half.edge; ++y)
            for (int x = 0; x < half.edge; ++x) {
                float sum = 0, weight = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int fx = 2 * x + dx, fy = 2 * y + dy;
                        if (fx < 0 || fy < 0 || fx >= from.edge || fy >= from.edge)
                            continue;
                        const float v = from.at(fx, fy), w = static_cast<float>((2 - std::abs(dx)) * (2 - std::abs(dy)));
                        if (v == v) {
                            sum += v * w;
                            weight += w;
                        }
                    }
                half.z[static_cast<std::size_t>(y) * half.edge + x] = weight > 0 ? sum / weight : NAN;
            }
        levels.push_back(std::move(half));
    }
}

double HgtPyramid::spacing(int halving) const
{
    return 1.0 / (levels[static_cast<std::size_t>(halving)].edge - 1);
}

float HgtPyramid::sample(double lon, double lat, double pixelDegrees) const
{
    std::size_t m = 0;
    while (m + 1 < levels.size() && spacing(static_cast<int>(m) + 1) <= pixelDegrees)
        ++m;
    const Level& l = levels[m];
    const double u = (lon - corner[1]) * (l.edge - 1), v = (corner[0] + 1 - lat) * (l.edge - 1);
    const int x0 = std::clamp(static_cast<int>(std::floor(u)), 0, l.edge - 2);
    const int y0 = std::clamp(static_cast<int>(std::floor(v)), 0, l.edge - 2);
    const float fx = static_cast<float>(std::clamp(u - x0, 0.0, 1.0)), fy = static_cast<float>(std::clamp(v - y0, 0.0, 1.0));
    const float c[4] = {l.at(x0, y0), l.at(x0 + 1, y0), l.at(x0, y0 + 1), l.at(x0 + 1, y0 + 1)};
    const float w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    float sum = 0, weight = 0;
    for (int i = 0; i < 4; ++i)
        if (c[i] == c[i]) {
            sum += c[i] * w[i];
            weight += w[i];
        }
    // Beside a void, the known samples alone, once they carry half the weight.
    return weight >= 0.5f ? sum / weight : NAN;
}
