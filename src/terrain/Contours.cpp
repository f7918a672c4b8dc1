#include "Contours.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <climits>
#include <cstdlib>
#include <memory>

namespace Contours {

namespace {

// Samples are compared with a level through their level index q =
// floor(z / interval): a sample is high for level k when q >= k. One
// integer per sample makes every test of a square and an edge agree.
const int noData = INT_MIN;

// The crossings of the levels with the grid's edges, stored edge after
// edge (an edge between samples of indices qa and qb is crossed by the
// levels min + 1 to max), and the lines through them: each crossing joins
// at most two pieces, one in each square beside its edge.
struct Crossings {
    int stride;
    std::vector<int> q;
    // Per edge: the first crossing's number and level, written and read only
    // for edges that are crossed (so never zeroed).
    std::unique_ptr<int[]> first, lowest;
    std::vector<float> xy;
    std::vector<int> level, link;

    // Edge number: 2 × sample index, + 1 for the edge going down from it.
    int edge(int x, int y, bool down) const { return 2 * ((y + 1) * stride + (x + 1)) + (down ? 1 : 0); }
    int at(int edge, int k) const { return first[static_cast<std::size_t>(edge)] + (k - lowest[static_cast<std::size_t>(edge)]); }
    void join(int a, int b)
    {
        link[2 * static_cast<std::size_t>(a) + (link[2 * static_cast<std::size_t>(a)] >= 0)] = b;
        link[2 * static_cast<std::size_t>(b) + (link[2 * static_cast<std::size_t>(b)] >= 0)] = a;
    }
};

// Numbers every crossing and places it; false when there are more than maxSegments.
bool place(const ElevationGrid& g, double interval, Crossings* c)
{
    const int S = g.stride();
    c->stride = S;
    c->q.resize(static_cast<std::size_t>(S) * S);
    const double perLevel = 1 / interval;
    for (std::size_t i = 0; i < c->q.size(); ++i) {
        const double v = g.z[i] * perLevel;
        const int t = v == v && v > -1e9 && v < 1e9 ? static_cast<int>(v) : noData;
        c->q[i] = t != noData && t > v ? t - 1 : t; // floor, without a call
    }
    c->first.reset(new int[2 * static_cast<std::size_t>(S) * S]);
    c->lowest.reset(new int[2 * static_cast<std::size_t>(S) * S]);
    long long total = 0;
    // Ground as steep as the Alps' crosses about half the edges: room for that, grown beyond.
    c->level.reserve(static_cast<std::size_t>(S) * S / 2);
    c->xy.reserve(c->level.capacity() * 2);
    // The edge from sample a (that of x, y) to the right or down, whose ends differ.
    auto crossEdge = [&](std::size_t a, int x, int y, bool down) {
        const std::size_t e = 2 * a + (down ? 1 : 0), b = a + (down ? S : 1);
        const int qa = c->q[a], qb = c->q[b];
        if (qa == noData || qb == noData)
            return true;
        c->first[e] = static_cast<int>(total);
        const int low = std::min(qa, qb), high = std::max(qa, qb);
        c->lowest[e] = low + 1;
        total += high - low;
        if (total > static_cast<long long>(maxSegments))
            return false;
        const float za = g.z[a], zb = g.z[b];
        const double across = 1.0 / (zb - za);
        for (int k = low + 1; k <= high; ++k) {
            const float t = static_cast<float>((k * interval - za) * across);
            c->xy.push_back(x + 0.5f + (down ? 0 : t));
            c->xy.push_back(y + 0.5f + (down ? t : 0));
            c->level.push_back(k);
        }
        return true;
    };
    // Most edges join samples of one level index: only the others are looked at.
    const int* q = c->q.data();
    for (int y = -1; y <= g.size; ++y) {
        const std::size_t row = static_cast<std::size_t>(y + 1) * S;
        for (int x = -1; x < g.size; ++x) {
            const std::size_t a = row + static_cast<std::size_t>(x + 1);
            if (q[a] != q[a + 1] && !crossEdge(a, x, y, false))
                return false;
        }
        if (y < g.size)
            for (int x = -1; x <= g.size; ++x) {
                const std::size_t a = row + static_cast<std::size_t>(x + 1);
                if (q[a] != q[a + S] && !crossEdge(a, x, y, true))
                    return false;
            }
    }
    c->link.assign(2 * c->level.size(), -1);
    return true;
}

// The pieces of square (x, y)-(x + 1, y + 1), level by level.
void square(const ElevationGrid& g, int x, int y, double interval, Crossings* c)
{
    const int S = c->stride;
    const std::size_t i = static_cast<std::size_t>(y + 1) * S + (x + 1);
    // Corners: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
    const int q[4] = {c->q[i], c->q[i + 1], c->q[i + S + 1], c->q[i + S]};
    const int low = std::min(std::min(q[0], q[1]), std::min(q[2], q[3]));
    const int high = std::max(std::max(q[0], q[1]), std::max(q[2], q[3]));
    // Most squares hold no line; noData is the lowest index there is.
    if (low == high || low == noData)
        return;
    // Edges: 0 top, 1 right, 2 bottom, 3 left.
    const int edges[4] = {c->edge(x, y, false), c->edge(x + 1, y, true), c->edge(x, y + 1, false), c->edge(x, y, true)};
    static const signed char pairs[16][4] = {
        {-1, -1, -1, -1}, {3, 0, -1, -1}, {0, 1, -1, -1}, {3, 1, -1, -1}, {1, 2, -1, -1}, {3, 0, 1, 2},
        {0, 2, -1, -1},   {3, 2, -1, -1}, {2, 3, -1, -1}, {0, 2, -1, -1}, {0, 1, 2, 3},   {1, 2, -1, -1},
        {1, 3, -1, -1},   {0, 1, -1, -1}, {3, 0, -1, -1}, {-1, -1, -1, -1}};
    static const signed char joined[2][4] = {{3, 2, 1, 0}, {0, 3, 2, 1}};
    const float mean = (g.z[i] + g.z[i + 1] + g.z[i + S + 1] + g.z[i + S]) / 4;
    for (int k = low + 1; k <= high; ++k) {
        const int mask = (q[0] >= k) | (q[1] >= k) << 1 | (q[2] >= k) << 2 | (q[3] >= k) << 3;
        const signed char* p = pairs[mask];
        // A saddle whose middle is high: the high corners join.
        if ((mask == 5 || mask == 10) && std::floor(mean / interval) >= k)
            p = joined[mask == 10];
        c->join(c->at(edges[p[0]], k), c->at(edges[p[1]], k));
        if (p[2] >= 0)
            c->join(c->at(edges[p[2]], k), c->at(edges[p[3]], k));
    }
}

void walk(const Crossings& c, int from, double interval, int majorEvery, std::vector<std::uint8_t>* seen,
          std::vector<ContourLine>* out)
{
    ContourLine line;
    const int k = c.level[static_cast<std::size_t>(from)];
    line.elevation = static_cast<float>(k * interval);
    line.major = majorEvery > 0 && k % majorEvery == 0;
    int previous = -1, at = from;
    while (at >= 0 && !(*seen)[static_cast<std::size_t>(at)]) {
        (*seen)[static_cast<std::size_t>(at)] = 1;
        line.xy.push_back(c.xy[2 * static_cast<std::size_t>(at)]);
        line.xy.push_back(c.xy[2 * static_cast<std::size_t>(at) + 1]);
        const int a = c.link[2 * static_cast<std::size_t>(at)], b = c.link[2 * static_cast<std::size_t>(at) + 1];
        const int next = a != previous ? a : b;
        previous = at;
        at = next;
    }
    line.closed = at == from;
    if (line.closed) {
        line.xy.push_back(line.xy[0]);
        line.xy.push_back(line.xy[1]);
    }
    if (line.xy.size() >= 4)
        out->push_back(std::move(line));
}

} // namespace

double intervalAt(int z)
{
    static const double byLevel[] = {500, 200, 100, 50, 20, 20, 10}; // levels 9 to 15
    return byLevel[std::clamp(z - 9, 0, 6)];
}

std::vector<ContourLine> trace(const ElevationGrid& g, double interval, int majorEvery, bool* cut)
{
    std::vector<ContourLine> lines;
    if (cut)
        *cut = false;
    if (!(interval >= 0.01) || g.size <= 0)
        return lines;
    Crossings c;
    if (!place(g, interval, &c)) {
        if (cut)
            *cut = true;
        return lines;
    }
    for (int y = -1; y < g.size; ++y)
        for (int x = -1; x < g.size; ++x)
            square(g, x, y, interval, &c);
    std::vector<std::uint8_t> seen(c.level.size(), 0);
    // Open lines from their ends first, then the closed ones.
    for (std::size_t i = 0; i < c.level.size(); ++i)
        if (!seen[i] && (c.link[2 * i] < 0) != (c.link[2 * i + 1] < 0))
            walk(c, static_cast<int>(i), interval, majorEvery, &seen, &lines);
    for (std::size_t i = 0; i < c.level.size(); ++i)
        if (!seen[i] && c.link[2 * i] >= 0)
            walk(c, static_cast<int>(i), interval, majorEvery, &seen, &lines);
    return lines;
}

} // namespace Contours
