#include "ElevationGrid.h"

#include <cmath>
#include <cstring>

namespace {

// Row by row, appended: every sample is written once (no zeroing first).
void copyWhole(const ElevationBlock& block, ElevationGrid* out)
{
    const ElevationTile& c = *block.centre();
    const int n = c.edge;
    std::vector<float>& z = out->z;
    z.clear();
    z.reserve(static_cast<std::size_t>(n + 2) * (n + 2));
    for (int x = -1; x <= n; ++x)
        z.push_back(block.sample(x, -1));
    for (int y = 0; y < n; ++y) {
        z.push_back(block.sample(-1, y));
        const float* row = &c.metres[static_cast<std::size_t>(y) * n];
        z.insert(z.end(), row, row + n);
        z.push_back(block.sample(n, y));
    }
    for (int x = -1; x <= n; ++x)
        z.push_back(block.sample(x, n));
}

// Where each sample of the cell falls in the centre tile's samples.
struct Axis {
    std::vector<int> first;
    std::vector<float> weight; // of first + 1
};

Axis axis(int size, double origin, double span)
{
    Axis a;
    for (int k = -1; k <= size; ++k) {
        const double u = origin + (k + 0.5) * span / size - 0.5;
        const double f = std::floor(u);
        a.first.push_back(static_cast<int>(f));
        a.weight.push_back(static_cast<float>(u - f));
    }
    return a;
}

void interpolate(const ElevationBlock& block, int deeper, long long subX, long long subY, ElevationGrid* out)
{
    const ElevationTile& c = *block.centre();
    const int n = c.edge, size = out->size;
    const double span = std::ldexp(static_cast<double>(n), -deeper);
    const Axis ax = axis(size, static_cast<double>(subX) * span, span);
    const Axis ay = axis(size, static_cast<double>(subY) * span, span);
    for (int j = 0; j <= size + 1; ++j) {
        const int y0 = ay.first[j];
        const float fy = ay.weight[j];
        float* row = &out->z[static_cast<std::size_t>(j) * out->stride()];
        if (y0 >= 0 && y0 + 1 < n) {
            // Inside the tile's rows: straight from them, but for the columns of the ring.
            const float* top = &c.metres[static_cast<std::size_t>(y0) * n];
            const float* bottom = top + n;
            for (int i = 0; i <= size + 1; ++i) {
                const int x0 = ax.first[i];
                const float fx = ax.weight[i];
                if (x0 >= 0 && x0 + 1 < n)
                    row[i] = (top[x0] * (1 - fx) + top[x0 + 1] * fx) * (1 - fy) +
                             (bottom[x0] * (1 - fx) + bottom[x0 + 1] * fx) * fy;
                else
                    row[i] = (block.sample(x0, y0) * (1 - fx) + block.sample(x0 + 1, y0) * fx) * (1 - fy) +
                             (block.sample(x0, y0 + 1) * (1 - fx) + block.sample(x0 + 1, y0 + 1) * fx) * fy;
            }
            continue;
        }
        for (int i = 0; i <= size + 1; ++i) {
            const int x0 = ax.first[i];
            const float fx = ax.weight[i];
            row[i] = (block.sample(x0, y0) * (1 - fx) + block.sample(x0 + 1, y0) * fx) * (1 - fy) +
                     (block.sample(x0, y0 + 1) * (1 - fx) + block.sample(x0 + 1, y0 + 1) * fx) * fy;
        }
    }
}

} // namespace

void ElevationGrid::build(const ElevationBlock& block, int size, int deeper, long long subX, long long subY,
                          ElevationGrid* out)
{
    out->size = size;
    if (deeper == 0 && size == block.centre()->edge) {
        copyWhole(block, out);
    } else {
        out->z.resize(static_cast<std::size_t>(size + 2) * (size + 2));
        interpolate(block, deeper, subX, subY, out);
    }
    // From the tiles' own flags: scanning the grid again would cost a fifth
    // of the shading.
    out->hasVoids = false;
    for (const auto& row : block.tiles)
        for (const auto& tile : row)
            out->hasVoids = out->hasVoids || (tile && tile->hasVoids);
}

ElevationGrid ElevationGrid::fromSamples(int size, std::vector<float> samples)
{
    ElevationGrid g;
    g.size = size;
    g.z = std::move(samples);
    g.z.resize(static_cast<std::size_t>(size + 2) * (size + 2));
    for (float v : g.z)
        g.hasVoids = g.hasVoids || v != v;
    return g;
}
