#ifndef TESSEL_STRAIGHTRUN_H
#define TESSEL_STRAIGHTRUN_H

#include <cstddef>
#include <vector>

// Where along a line a label may lie straight: the longest run of
// consecutive points whose every point lies within `tolerance` of the
// chord from the run's first point to its last. Plain geometry in
// pixels, so the rule is tested on its own.
struct StraightRun {
    struct Point {
        double x, y;
    };
    std::size_t first = 0, last = 0; // indices into the line's points
    double length = 0;               // of the chord

    // Lines of more points than `maxPoints` are looked at in their first
    // maxPoints (the search is quadratic in the worst case).
    static constexpr std::size_t maxPoints = 128;
    static StraightRun longest(const std::vector<Point>& line, double tolerance);
};

#endif
