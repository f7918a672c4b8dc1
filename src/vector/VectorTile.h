#ifndef TESSEL_VECTORTILE_H
#define TESSEL_VECTORTILE_H

#include <cstdint>
#include <string>
#include <vector>

// One property value of a vector tile feature: text, number or truth.
struct VectorValue {
    enum class Type { none, text, number, boolean };
    Type type = Type::none;
    std::string text;
    double number = 0;
    bool boolean = false;

    bool operator==(const VectorValue& o) const;
    // The value as a label shows it.
    std::string toText() const;
};

struct VectorPoint {
    std::int32_t x = 0, y = 0;
};

// One part of a feature's geometry: the points before `end` (from the end
// of the previous part). Polygons: an exterior ring or a hole of the
// exterior before it.
struct VectorPart {
    std::uint32_t end = 0;
    bool hole = false;
};

struct VectorFeature {
    enum class Kind { unknown, point, line, polygon };
    Kind kind = Kind::unknown;
    std::vector<std::uint32_t> tags; // key index, value index, ...
    std::vector<VectorPoint> points;
    std::vector<VectorPart> parts;
    std::int32_t minX = 0, minY = 0, maxX = 0, maxY = 0; // bounding box of the points
};

struct VectorLayer {
    std::string name;
    std::uint32_t extent = 4096;
    std::vector<std::string> keys;
    std::vector<VectorValue> values;
    std::vector<VectorFeature> features;

    // Index of `key` in keys; -1 when the layer has no such key.
    int keyIndex(const std::string& key) const;
    // The feature's value for key index `key`; null when it has none.
    const VectorValue* value(const VectorFeature& feature, int key) const;
};

// A decoded Mapbox Vector Tile.
struct VectorTile {
    std::vector<VectorLayer> layers;
    // What was skipped while reading (one line per kind of fault).
    std::vector<std::string> skipped;

    std::size_t vertices() const;
    // About the memory it holds, allocations' overhead included.
    std::size_t heldBytes() const;
};

#endif
