#ifndef TESSEL_TEST_MVTTILES_H
#define TESSEL_TEST_MVTTILES_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Vector tiles made up by tests and benchmarks, written with protozero.
struct MvtPoint {
    int x, y;
};

struct MvtFeature {
    int type = 3; // 1 point, 2 line, 3 polygon
    std::vector<std::pair<std::string, std::string>> text;   // properties with text values
    std::vector<std::pair<std::string, double>> numbers;     // properties with double values
    std::vector<std::uint32_t> geometry;                     // encoded commands
};

struct MvtLayer {
    std::string name;
    std::uint32_t extent = 4096;
    std::vector<MvtFeature> features;
};

namespace Mvt {

// Geometry commands: each part a MoveTo then LineTos (rings end in a ClosePath).
std::vector<std::uint32_t> points(const std::vector<MvtPoint>& points);
std::vector<std::uint32_t> lines(const std::vector<std::vector<MvtPoint>>& lines);
std::vector<std::uint32_t> rings(const std::vector<std::vector<MvtPoint>>& rings);
// A square ring, clockwise (an exterior) or counter-clockwise (a hole).
std::vector<MvtPoint> square(int x0, int y0, int x1, int y1, bool clockwise = true);

MvtFeature polygon(const std::vector<std::vector<MvtPoint>>& rings, const std::string& key = "",
                   const std::string& value = "");
std::string encode(const std::vector<MvtLayer>& layers);

// The Monaco extract `osmPbf` made into an OpenMapTiles-schema MBTiles by
// Debian's tilemaker with the example configuration it ships, once, into
// `dir`; empty (with the reason) when the extract or tilemaker is missing.
std::string monacoMBTiles(const std::string& osmPbf, const std::string& dir, std::string* why);

} // namespace Mvt

#endif
