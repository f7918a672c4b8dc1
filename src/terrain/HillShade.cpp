#include "HillShade.h"

#include "Mercator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace HillShade {

namespace {

// Slopes enter as fixed point (1/fixedUnit per step) up to ±maxSlope,
// then are spaced into `buckets` bins: s / (|s| + knee) keeps gentle
// slopes apart and runs cliffs together.
const int fixedUnit = 128, maxSlope = 16, buckets = 127, half = buckets / 2;
const int fixedRange = fixedUnit * maxSlope;
const double knee = 0.5;

double slopeOfBucket(int b)
{
    const double t = static_cast<double>(b - half) / half;
    return knee * t / (1 - std::min(std::fabs(t), 0.999));
}

double darkness(double east, double north)
{
    static const double azimuths[] = {315, 270, 0, 225}, weights[] = {0.45, 0.2, 0.2, 0.15};
    const double altitude = M_PI / 4;
    const double norm = std::sqrt(east * east + north * north + 1);
    double lit = 0;
    for (int i = 0; i < 4; ++i) {
        const double a = azimuths[i] * M_PI / 180;
        const double dot = (-east * std::sin(a) * std::cos(altitude) - north * std::cos(a) * std::cos(altitude) +
                            std::sin(altitude)) / norm;
        lit += weights[i] * std::max(0.0, dot);
    }
    const double flat = std::sin(altitude);
    return std::clamp((flat - lit) / flat, 0.0, 1.0);
}

struct Tables {
    std::uint8_t bucket[2 * fixedRange + 1];
    std::uint16_t row[2 * fixedRange + 1]; // bucket × buckets: the east slope's row of `alpha`
    std::uint8_t alpha[buckets * buckets]; // [east bucket * buckets + north bucket]
    Tables()
    {
        for (int i = -fixedRange; i <= fixedRange; ++i) {
            const double s = static_cast<double>(i) / fixedUnit;
            bucket[i + fixedRange] = static_cast<std::uint8_t>(half + std::lround(half * s / (std::fabs(s) + knee)));
            row[i + fixedRange] = static_cast<std::uint16_t>(bucket[i + fixedRange] * buckets);
        }
        for (int e = 0; e < buckets; ++e)
            for (int n = 0; n < buckets; ++n)
                alpha[e * buckets + n] =
                    static_cast<std::uint8_t>(std::lround(maxAlpha * darkness(slopeOfBucket(e), slopeOfBucket(n))));
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

inline int fixedSlope(float s)
{
    return static_cast<int>(std::clamp(s, -static_cast<float>(maxSlope), static_cast<float>(maxSlope)) * fixedUnit) +
           fixedRange;
}

// One row: v holds the vertical 1-2-1 sums of columns -1..size, above and
// below the horizontal 1-2-1 sums of the rows over and under.
void shadeRowWithVoids(const float* v, const float* above, const float* below, int size, float kx, float ky,
                       std::uint8_t* alpha)
{
    const Tables& t = tables();
    for (int x = 0; x < size; ++x) {
        const float east = (v[x + 2] - v[x]) * kx;
        const float north = (above[x] - below[x]) * ky;
        if (east != east || north != north) {
            alpha[x] = 0;
            continue;
        }
        alpha[x] = t.alpha[t.row[fixedSlope(east)] + t.bucket[fixedSlope(north)]];
    }
}

// The same without voids, in two passes: the slopes' table indices (a loop
// the compiler runs four or eight pixels at a time), then the look-ups.
// `index` has room for 2 × size.
void shadeRow(const float* v, const float* above, const float* below, int size, float kx, float ky,
              std::uint8_t* alpha, int* index)
{
    // Scaled to fixed point before clamping: a power of two, so the same
    // values as clamping first; the tables are indexed from their middle.
    const float lo = -static_cast<float>(fixedRange), hi = static_cast<float>(fixedRange);
    kx *= fixedUnit;
    ky *= fixedUnit;
    int* east = index;
    int* north = index + size;
    for (int x = 0; x < size; ++x) {
        // Clamped by value, not through std::min's references, which keeps
        // the loop free of branches.
        float e = (v[x + 2] - v[x]) * kx, n = (above[x] - below[x]) * ky;
        e = e < lo ? lo : e;
        e = hi < e ? hi : e;
        n = n < lo ? lo : n;
        n = hi < n ? hi : n;
        east[x] = static_cast<int>(e);
        north[x] = static_cast<int>(n);
    }
    const Tables& t = tables();
    const std::uint16_t* row = t.row + fixedRange;
    const std::uint8_t* bucket = t.bucket + fixedRange;
#pragma GCC unroll 4
    for (int x = 0; x < size; ++x)
        alpha[x] = t.alpha[row[east[x]] + bucket[north[x]]];
}

template <bool voids>
void shade(const ElevationGrid& g, const Scale& scale, Bitmap* out)
{
    const int size = g.size, stride = g.stride();
    std::vector<float> v(stride), sums(3 * static_cast<std::size_t>(size));
    std::vector<int> index(voids ? 0 : 2 * static_cast<std::size_t>(size));
    auto horizontal = [&](int y, float* h) {
        const float* r = &g.z[static_cast<std::size_t>(y + 1) * stride];
        for (int x = 0; x < size; ++x)
            h[x] = r[x] + 2 * r[x + 1] + r[x + 2];
    };
    float* rows[3] = {&sums[0], &sums[size], &sums[2 * static_cast<std::size_t>(size)]};
    horizontal(-1, rows[0]);
    horizontal(0, rows[1]);
    for (int y = 0; y < size; ++y) {
        horizontal(y + 1, rows[2]);
        const float* up = &g.z[static_cast<std::size_t>(y) * stride];
        for (int x = 0; x < stride; ++x)
            v[x] = up[x] + 2 * up[x + stride] + up[x + 2 * stride];
        const double metres = scale.topMetres + (scale.bottomMetres - scale.topMetres) * (y + 0.5) / size;
        const float k = static_cast<float>(scale.exaggeration / (8 * metres));
        std::uint8_t* alpha = &out->alpha[static_cast<std::size_t>(y) * size];
        if (voids)
            shadeRowWithVoids(v.data(), rows[0], rows[2], size, k, k, alpha);
        else
            shadeRow(v.data(), rows[0], rows[2], size, k, k, alpha, index.data());
        std::rotate(rows, rows + 1, rows + 3);
    }
}

} // namespace

Scale scaleOf(int z, long long y, int size)
{
    double lon, top, bottom;
    Mercator::toLonLat(0, static_cast<double>(y) * 256, z, &lon, &top);
    Mercator::toLonLat(0, static_cast<double>(y + 1) * 256, z, &lon, &bottom);
    Scale s;
    const double perSample = 256.0 / size;
    s.topMetres = Mercator::metresPerPixel(top, z) * perSample;
    s.bottomMetres = Mercator::metresPerPixel(bottom, z) * perSample;
    s.exaggeration = z >= 12 ? 1 : std::exp2((12 - z) / 2.0);
    return s;
}

void draw(const ElevationGrid& grid, const Scale& scale, Bitmap* out)
{
    // One colour written once and alpha left to the rows (reset() would
    // clear both first).
    const std::size_t n = static_cast<std::size_t>(grid.size) * static_cast<std::size_t>(grid.size);
    out->size = grid.size;
    out->rgb.assign(n, shadowColour);
    out->alpha.resize(n);
    if (grid.hasVoids)
        shade<true>(grid, scale, out);
    else
        shade<false>(grid, scale, out);
}

int alphaOf(double east, double north)
{
    const Tables& t = tables();
    return t.alpha[t.bucket[fixedSlope(static_cast<float>(east))] * buckets +
                   t.bucket[fixedSlope(static_cast<float>(north))]];
}

} // namespace HillShade
