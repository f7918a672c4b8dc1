#include "MvtReader.h"

#include "Gzip.h"

#include <protozero/pbf_reader.hpp>

#include <algorithm>
#include <map>

namespace MvtReader {

namespace {

using protozero::pbf_wire_type;

enum Command { moveTo = 1, lineTo = 2, closePath = 7 };

// Faults met while reading, counted by kind; one line each at the end.
struct Faults {
    std::map<std::string, long> counts;
    void add(const std::string& what) { ++counts[what]; }
};

// What the tile has taken so far: vertices, and memory (counted as it is
// asked for, before it is).
struct Budget {
    std::size_t vertices = 0;
    std::size_t bytes = 0;
    bool take(std::size_t n)
    {
        bytes += n;
        return bytes <= maxDecodedBytes;
    }
};

bool wire(const protozero::pbf_reader& m, pbf_wire_type type)
{
    return m.wire_type() == type;
}

VectorValue readValue(protozero::pbf_reader m, Faults* faults)
{
    VectorValue v;
    while (m.next()) {
        const auto type = m.wire_type();
        switch (m.tag()) {
        case 1:
            if (type != pbf_wire_type::length_delimited)
                break;
            v.type = VectorValue::Type::text;
            v.text = m.get_string();
            continue;
        case 2:
            if (type != pbf_wire_type::fixed32)
                break;
            v.type = VectorValue::Type::number;
            v.number = m.get_float();
            continue;
        case 3:
            if (type != pbf_wire_type::fixed64)
                break;
            v.type = VectorValue::Type::number;
            v.number = m.get_double();
            continue;
        case 4:
        case 5:
        case 6:
        case 7:
            if (type != pbf_wire_type::varint)
                break;
            if (m.tag() == 7) {
                v.type = VectorValue::Type::boolean;
                v.boolean = m.get_bool();
            } else {
                v.type = VectorValue::Type::number;
                v.number = m.tag() == 4   ? static_cast<double>(m.get_int64())
                           : m.tag() == 5 ? static_cast<double>(m.get_uint64())
                                          : static_cast<double>(m.get_sint64());
            }
            continue;
        default:
            break;
        }
        m.skip();
    }
    if (v.type == VectorValue::Type::none)
        faults->add("values of an unknown type");
    return v;
}

std::int64_t zigzag(std::uint32_t n)
{
    return static_cast<std::int64_t>(n >> 1) ^ -static_cast<std::int64_t>(n & 1);
}

// Twice the signed area of the ring ending at `end` (surveyor's formula).
double ringArea(const std::vector<VectorPoint>& points, std::size_t begin, std::size_t end)
{
    double sum = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const VectorPoint& a = points[i];
        const VectorPoint& b = points[i + 1 < end ? i + 1 : begin];
        sum += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return sum;
}

using Words = protozero::iterator_range<protozero::pbf_reader::const_uint32_iterator>;

// The geometry commands into points and parts, straight from the packed
// words in the tile's bytes; false (with the reason) when they break the
// rules for the feature's kind.
class GeometryReader {
public:
    GeometryReader(Words words, std::size_t bytes, std::int64_t limitLow, std::int64_t limitHigh)
        : words(words), bytes(bytes), low(limitLow), high(limitHigh)
    {
    }

    bool read(VectorFeature* f, Budget* budget, std::string* why)
    {
        // Every point takes two words of at least a byte each.
        f->points.reserve(std::min(bytes / 2, maxVertices - budget->vertices));
        auto word = words.begin();
        const auto end = words.end();
        std::int64_t x = 0, y = 0;
        std::size_t partBegin = 0;
        while (word != end) {
            const std::uint32_t command = *word & 7, count = *word >> 3;
            ++word;
            if (command == closePath) {
                if (count != 1 || f->kind != VectorFeature::Kind::polygon)
                    return fail(why, "misplaced ClosePath");
                if (!closeRing(f, partBegin, why))
                    return false;
                partBegin = f->points.size();
                continue;
            }
            if (command != moveTo && command != lineTo)
                return fail(why, "unknown geometry command");
            if (count == 0 || word == end || count > bytes / 2)
                return fail(why, "geometry commands running past their data");
            if (command == moveTo) {
                if (f->kind != VectorFeature::Kind::point && count != 1)
                    return fail(why, "MoveTo of several points in a line or polygon");
                if (f->kind == VectorFeature::Kind::line && !endLine(f, partBegin, why))
                    return false;
                if (f->kind == VectorFeature::Kind::polygon && f->points.size() != partBegin)
                    return fail(why, "polygon ring not closed");
                partBegin = f->points.size();
            } else if (f->kind == VectorFeature::Kind::point || f->points.size() == partBegin) {
                return fail(why, "LineTo without a MoveTo");
            }
            if (count > maxVertices - budget->vertices)
                return fail(why, "more vertices than a tile may have");
            budget->vertices += count;
            for (std::uint32_t k = 0; k < count; ++k) {
                if (word == end)
                    return fail(why, "geometry commands running past their data");
                x += zigzag(*word++);
                if (word == end)
                    return fail(why, "geometry commands running past their data");
                y += zigzag(*word++);
                if (x < low || x > high || y < low || y > high)
                    return fail(why, "coordinates far outside the tile");
                f->points.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
                if (f->kind == VectorFeature::Kind::point)
                    f->parts.push_back({static_cast<std::uint32_t>(f->points.size()), false});
            }
        }
        if (f->kind == VectorFeature::Kind::line && !endLine(f, partBegin, why))
            return false;
        if (f->kind == VectorFeature::Kind::polygon && f->points.size() != partBegin)
            return fail(why, "polygon ring not closed");
        if (f->parts.empty())
            return fail(why, "empty geometry");
        return true;
    }

private:
    static bool fail(std::string* why, const char* text)
    {
        *why = text;
        return false;
    }

    static bool endLine(VectorFeature* f, std::size_t begin, std::string* why)
    {
        if (f->points.size() == begin)
            return true;
        if (f->points.size() - begin < 2)
            return fail(why, "line of one point");
        f->parts.push_back({static_cast<std::uint32_t>(f->points.size()), false});
        return true;
    }

    // Exterior rings have a positive area in tile coordinates (y down),
    // holes a negative one; a ring of no area is dropped, as is a hole
    // before any exterior.
    static bool closeRing(VectorFeature* f, std::size_t begin, std::string* why)
    {
        if (f->points.size() - begin < 3)
            return fail(why, "polygon ring of fewer than three points");
        const double area = ringArea(f->points, begin, f->points.size());
        if (area == 0 || (area < 0 && f->parts.empty())) {
            f->points.resize(begin);
            return true;
        }
        f->parts.push_back({static_cast<std::uint32_t>(f->points.size()), area < 0});
        return true;
    }

    const Words words;
    const std::size_t bytes;
    const std::int64_t low, high;
};

void boundingBox(VectorFeature* f)
{
    f->minX = f->maxX = f->points.front().x;
    f->minY = f->maxY = f->points.front().y;
    for (const VectorPoint& p : f->points) {
        f->minX = std::min(f->minX, p.x);
        f->maxX = std::max(f->maxX, p.x);
        f->minY = std::min(f->minY, p.y);
        f->maxY = std::max(f->maxY, p.y);
    }
}

// A feature before its layer's keys and values are known: its geometry
// still the packed words in the tile's bytes.
struct RawFeature {
    VectorFeature feature;
    Words geometry;
    std::size_t geometryBytes = 0;
};

RawFeature readFeature(protozero::pbf_reader m)
{
    RawFeature raw;
    while (m.next()) {
        if (m.tag() == 2 && wire(m, pbf_wire_type::length_delimited)) {
            const auto tags = m.get_packed_uint32();
            raw.feature.tags.assign(tags.begin(), tags.end());
        } else if (m.tag() == 3 && wire(m, pbf_wire_type::varint)) {
            const std::uint32_t type = m.get_uint32();
            raw.feature.kind = type >= 1 && type <= 3 ? static_cast<VectorFeature::Kind>(type) : VectorFeature::Kind::unknown;
        } else if (m.tag() == 4 && wire(m, pbf_wire_type::length_delimited)) {
            const protozero::data_view view = m.get_view();
            raw.geometryBytes = view.size();
            raw.geometry = Words(protozero::pbf_reader::const_uint32_iterator(view.data(), view.data() + view.size()),
                                 protozero::pbf_reader::const_uint32_iterator(view.data() + view.size(),
                                                                              view.data() + view.size()));
        } else {
            m.skip();
        }
    }
    return raw;
}

// Tags whose indices point past the layer's keys or values are dropped.
void checkTags(const VectorLayer& layer, VectorFeature* f, Faults* faults)
{
    std::vector<std::uint32_t>& tags = f->tags;
    if (tags.size() % 2 != 0) {
        faults->add("tags of an odd count");
        tags.pop_back();
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < tags.size(); i += 2) {
        if (tags[i] < layer.keys.size() && tags[i + 1] < layer.values.size()) {
            tags[kept++] = tags[i];
            tags[kept++] = tags[i + 1];
        } else {
            faults->add("tags pointing past the layer's keys or values");
        }
    }
    tags.resize(kept);
}

bool readLayer(protozero::pbf_reader m, VectorLayer* layer, Faults* faults, Budget* budget)
{
    std::vector<RawFeature> raw;
    std::uint32_t version = 1;
    bool named = false;
    while (m.next()) {
        const bool bytes = wire(m, pbf_wire_type::length_delimited), number = wire(m, pbf_wire_type::varint);
        if (m.tag() == 1 && bytes) {
            layer->name = m.get_string();
            named = true;
            if (!budget->take(layer->name.size()))
                return false;
        } else if (m.tag() == 2 && bytes) {
            raw.push_back(readFeature(m.get_message()));
            if (!budget->take(sizeof(RawFeature) + sizeof(VectorFeature) + raw.back().feature.tags.size() * 4))
                return false;
        } else if (m.tag() == 3 && bytes) {
            layer->keys.push_back(m.get_string());
            if (!budget->take(sizeof(std::string) + layer->keys.back().size()))
                return false;
        } else if (m.tag() == 4 && bytes) {
            layer->values.push_back(readValue(m.get_message(), faults));
            if (!budget->take(sizeof(VectorValue) + layer->values.back().text.size()))
                return false;
        } else if (m.tag() == 5 && number) {
            layer->extent = m.get_uint32();
        } else if (m.tag() == 15 && number) {
            version = m.get_uint32();
        } else {
            m.skip();
        }
    }
    if (!named || layer->extent == 0 || version > 2) {
        faults->add(!named ? "layers without a name" : layer->extent == 0 ? "layers of extent 0" : "layers of an unknown version");
        return false;
    }
    const std::int64_t extent = layer->extent;
    layer->features.reserve(raw.size());
    for (RawFeature& r : raw) {
        std::string why;
        GeometryReader geometry(r.geometry, r.geometryBytes, -maxOutside * extent, (maxOutside + 1) * extent);
        if (r.feature.kind == VectorFeature::Kind::unknown)
            why = "geometry of an unknown type";
        else if (!geometry.read(&r.feature, budget, &why))
            r.feature.points.clear();
        else if (!budget->take(r.feature.points.capacity() * sizeof(VectorPoint) +
                               r.feature.parts.capacity() * sizeof(VectorPart)))
            return false;
        if (!why.empty()) {
            faults->add("features with " + why);
            continue;
        }
        checkTags(*layer, &r.feature, faults);
        boundingBox(&r.feature);
        layer->features.push_back(std::move(r.feature));
    }
    return true;
}

// The name of a layer message, looked up without decoding the rest.
std::string layerName(protozero::pbf_reader m)
{
    std::string name;
    while (m.next(1))
        if (wire(m, pbf_wire_type::length_delimited))
            name = m.get_string();
        else
            m.skip();
    return name;
}

} // namespace

bool layerNames(const std::string& bytes, std::vector<std::string>* out)
{
    std::string inflated;
    const bool gzip = bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b';
    if ((gzip && !Gzip::inflate(bytes, &inflated, maxBytes)) || (!gzip && bytes.size() > maxBytes))
        return false;
    try {
        protozero::pbf_reader tile(gzip ? inflated : bytes);
        while (tile.next() && out->size() < maxLayers)
            if (tile.tag() == 3 && wire(tile, pbf_wire_type::length_delimited))
                out->push_back(layerName(tile.get_message()));
            else
                tile.skip();
    } catch (const protozero::exception&) {
        out->clear();
        return false;
    }
    return true;
}

bool read(const std::string& bytes, VectorTile* out, std::string* error, const std::vector<std::string>* wanted)
{
    std::string inflated;
    const bool gzip = bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b';
    if (gzip && !Gzip::inflate(bytes, &inflated, maxBytes)) {
        *error = "damaged gzip data or a tile larger than " + std::to_string(maxBytes >> 20) + " MB";
        return false;
    }
    const std::string& data = gzip ? inflated : bytes;
    if (data.size() > maxBytes) {
        *error = "a tile larger than " + std::to_string(maxBytes >> 20) + " MB";
        return false;
    }
    Faults faults;
    Budget budget;
    try {
        protozero::pbf_reader tile(data);
        while (tile.next()) {
            if (tile.tag() != 3 || !wire(tile, pbf_wire_type::length_delimited)) {
                tile.skip();
                continue;
            }
            const protozero::pbf_reader message = tile.get_message();
            if (wanted && std::find(wanted->begin(), wanted->end(), layerName(message)) == wanted->end())
                continue;
            if (out->layers.size() >= maxLayers) {
                faults.add("layers past the first " + std::to_string(maxLayers));
                continue;
            }
            VectorLayer layer;
            if (budget.take(sizeof(VectorLayer)) && readLayer(message, &layer, &faults, &budget))
                out->layers.push_back(std::move(layer));
            if (budget.bytes > maxDecodedBytes) {
                *error = "a tile that takes more than " + std::to_string(maxDecodedBytes >> 20) + " MB decoded";
                out->layers.clear();
                return false;
            }
        }
    } catch (const protozero::exception& e) {
        *error = std::string("not a vector tile (") + e.what() + ")";
        out->layers.clear();
        return false;
    }
    for (const auto& fault : faults.counts)
        out->skipped.push_back(std::to_string(fault.second) + " " + fault.first + " skipped");
    return true;
}

} // namespace MvtReader
