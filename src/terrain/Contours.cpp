#include "Contours.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace Contours {

namespace {

// A crossing lies on an edge between two samples: the edge's number is
// (sample index) * 2, + 1 for the edge going down; each level's keys are
// kept apart by the level's index in the high bits.
using Key = std::uint64_t;

struct Segment {
    Key a, b;
    float ax, ay, bx, by;
    bool used = false;
};

struct Level {
    double value;
    std::vector<Segment> segments;
};

float cross(float from, float to, double level)
{
    return static_cast<float>((level - from) / (to - from));
}

// The segments of one square (x, y)-(x + 1, y + 1) for one level.
void square(const ElevationGrid& g, int x, int y, const float c[4], double level, Key base, Level* out)
{
    // Corners: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
    const int mask = (c[0] >= level) | (c[1] >= level) << 1 | (c[2] >= level) << 2 | (c[3] >= level) << 3;
    if (mask == 0 || mask == 15)
        return;
    const Key s = base + (static_cast<Key>(y + 1) * g.stride() + (x + 1)) * 2;
    const Key right = s + 2, below = s + 2 * static_cast<Key>(g.stride());
    // Edges: 0 top, 1 right, 2 bottom, 3 left: their keys and crossing points.
    const Key keys[4] = {s, right + 1, below, s + 1};
    const float px = x + 0.5f, py = y + 0.5f;
    const float ex[4] = {px + cross(c[0], c[1], level), px + 1, px + cross(c[3], c[2], level), px};
    const float ey[4] = {py, py + cross(c[1], c[2], level), py + 1, py + cross(c[0], c[3], level)};
    auto add = [&](int e, int f) { out->segments.push_back(Segment{keys[e], keys[f], ex[e], ey[e], ex[f], ey[f]}); };
    static const signed char pairs[16][4] = {
        {-1, -1, -1, -1}, {3, 0, -1, -1}, {0, 1, -1, -1}, {3, 1, -1, -1}, {1, 2, -1, -1}, {3, 0, 1, 2},
        {0, 2, -1, -1},   {3, 2, -1, -1}, {2, 3, -1, -1}, {0, 2, -1, -1}, {0, 1, 2, 3},   {1, 2, -1, -1},
        {1, 3, -1, -1},   {0, 1, -1, -1}, {3, 0, -1, -1}, {-1, -1, -1, -1}};
    const signed char* p = pairs[mask];
    if ((mask == 5 || mask == 10) && (c[0] + c[1] + c[2] + c[3]) / 4 >= level) {
        // A saddle whose middle is high: the high corners join.
        const signed char joined[2][4] = {{3, 2, 1, 0}, {0, 3, 2, 1}};
        p = joined[mask == 10];
    }
    add(p[0], p[1]);
    if (p[2] >= 0)
        add(p[2], p[3]);
}

// Chains a level's segments into lines through their shared edges.
void join(Level& level, double interval, int majorEvery, std::vector<ContourLine>* out)
{
    std::unordered_multimap<Key, std::size_t> at;
    at.reserve(level.segments.size() * 2);
    for (std::size_t i = 0; i < level.segments.size(); ++i) {
        at.emplace(level.segments[i].a, i);
        at.emplace(level.segments[i].b, i);
    }
    const long long step = std::llround(level.value / interval);
    const bool major = majorEvery > 0 && step % majorEvery == 0;
    auto next = [&](Key k, std::size_t from) -> long {
        auto range = at.equal_range(k);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second != from && !level.segments[it->second].used)
                return static_cast<long>(it->second);
        return -1;
    };
    for (std::size_t i = 0; i < level.segments.size(); ++i) {
        if (level.segments[i].used)
            continue;
        // Walk back to an open end first, then forward from there.
        std::size_t first = i;
        Key head = level.segments[i].a;
        std::size_t guard = level.segments.size();
        for (long prev = next(head, first); prev >= 0 && prev != static_cast<long>(i) && guard--; prev = next(head, first)) {
            const Segment& s = level.segments[static_cast<std::size_t>(prev)];
            head = s.a == head ? s.b : s.a;
            first = static_cast<std::size_t>(prev);
            if (first == i)
                break;
        }
        ContourLine line;
        line.elevation = static_cast<float>(level.value);
        line.major = major;
        Key k = head;
        for (long cur = static_cast<long>(first); cur >= 0; cur = next(k, static_cast<std::size_t>(cur))) {
            Segment& s = level.segments[static_cast<std::size_t>(cur)];
            const bool forward = s.a == k;
            if (line.xy.empty()) {
                line.xy.push_back(forward ? s.ax : s.bx);
                line.xy.push_back(forward ? s.ay : s.by);
            }
            line.xy.push_back(forward ? s.bx : s.ax);
            line.xy.push_back(forward ? s.by : s.ay);
            s.used = true;
            k = forward ? s.b : s.a;
        }
        line.closed = k == head && line.xy.size() > 4;
        out->push_back(std::move(line));
    }
}

} // namespace

double intervalAt(int z)
{
    static const double byLevel[] = {500, 200, 100, 50, 20, 10}; // levels 9 to 14
    return byLevel[std::clamp(z - 9, 0, 5)];
}

std::vector<ContourLine> trace(const ElevationGrid& g, double interval, int majorEvery, bool* cut)
{
    std::vector<ContourLine> lines;
    if (!(interval > 0) || g.size <= 0)
        return lines;
    float low = INFINITY, high = -INFINITY;
    for (float v : g.z)
        if (v == v) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    if (!(low <= high))
        return lines;
    const long long first = static_cast<long long>(std::ceil(low / interval));
    const long long last = static_cast<long long>(std::floor(high / interval));
    std::vector<Level> levels;
    for (long long k = first; k <= last && levels.size() < 4096; ++k)
        levels.push_back(Level{static_cast<double>(k) * interval, {}});
    const Key perLevel = static_cast<Key>(g.stride()) * g.stride() * 2;
    std::size_t segments = 0;
    if (cut)
        *cut = false;
    for (int y = -1; y < g.size; ++y)
        for (int x = -1; x < g.size; ++x) {
            if (segments > maxSegments) {
                if (cut)
                    *cut = true;
                y = g.size;
                break;
            }
            const float c[4] = {g.at(x, y), g.at(x + 1, y), g.at(x + 1, y + 1), g.at(x, y + 1)};
            const float lo = std::min(std::min(c[0], c[1]), std::min(c[2], c[3]));
            const float hi = std::max(std::max(c[0], c[1]), std::max(c[2], c[3]));
            if (!(c[0] == c[0] && c[1] == c[1] && c[2] == c[2] && c[3] == c[3]))
                continue;
            // The levels strictly inside (lo, hi]: a level equal to every corner draws nothing.
            long long k = static_cast<long long>(std::floor(lo / interval)) + 1;
            for (; k <= first + static_cast<long long>(levels.size()) - 1 && k * interval <= hi; ++k)
                if (k >= first) {
                    square(g, x, y, c, levels[static_cast<std::size_t>(k - first)].value,
                           static_cast<Key>(k - first) * perLevel, &levels[static_cast<std::size_t>(k - first)]);
                    ++segments;
                }
        }
    for (Level& level : levels)
        join(level, interval, majorEvery, &lines);
    return lines;
}

} // namespace Contours
