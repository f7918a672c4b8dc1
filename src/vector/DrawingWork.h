#ifndef TESSEL_DRAWINGWORK_H
#define TESSEL_DRAWINGWORK_H

#include <cstddef>
#include <vector>

// What drawing one picture asks of cairo, priced before cairo is asked,
// so a hostile tile is given up before it costs more than about a second.
// Cairo's scan conversion costs, in each pixel row, about the edges
// crossing it times their logarithm (sixteen times over where edges cross
// one another, which cannot be told beforehand, so every row is priced
// so), and each edge of a stroke costs its joins: a star of 3 000 spikes
// through one point took a quarter of a second, of 30 000 eighteen
// seconds; a zig-zag of 300 000 strokes six.
class DrawingWork {
public:
    // About a second of a desktop's CPU (1 is about 2 ns).
    static constexpr double budget = 2.5e8;
    // What an edge costs beside the rows it crosses.
    static constexpr double fillEdge = 100, strokeEdge = 1000;
    // Dashes past this many in one layer are drawn longer, not more.
    static constexpr double maxDashes = 10000;

    explicit DrawingWork(int size) : size(size), changes(static_cast<std::size_t>(size) + 1, 0) {}

    // `count` edges from y0 to y1 (pixels), grown by `reach` both ways.
    void edge(double y0, double y1, double reach, int count, double price);
    // Prices the edges since the last call; false once the picture's work
    // has passed the budget.
    bool settle();
    bool over() const { return spent > budget; }

    double spent = 0;

private:
    const int size;
    std::vector<long long> changes; // edges starting minus edges ending, by row
    double pending = 0;
};

#endif
