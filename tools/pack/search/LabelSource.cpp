#include "LabelSource.h"

#include "IndexWriter.h"
#include "Mercator.h"
#include "MvtReader.h"
#include "TileArchive.h"

#include <algorithm>

namespace {

// The deepest level will do up to this one: deeper levels only repeat it.
const int deepestLabelLevel = 14;

enum class Role { none, place, poi, street };

struct Label {
    Role role = Role::none;
    std::string kind;
    std::vector<std::string> names;
};

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

std::string textOf(const VectorLayer& layer, const VectorFeature& feature, const char* key)
{
    const VectorValue* value = layer.value(feature, layer.keyIndex(key));
    return value && value->type == VectorValue::Type::text ? value->text : std::string();
}

// The first of `keys` the feature has.
std::string firstOf(const VectorLayer& layer, const VectorFeature& feature, std::initializer_list<const char*> keys)
{
    for (const char* key : keys) {
        std::string text = textOf(layer, feature, key);
        if (!text.empty())
            return text;
    }
    return std::string();
}

// "name" first (the one shown), then every other form: name:xx, name_xx,
// name_int, alt_name, old_name.
std::vector<std::string> namesOf(const VectorLayer& layer, const VectorFeature& feature)
{
    std::vector<std::string> names;
    const std::string shown = textOf(layer, feature, "name");
    if (!shown.empty())
        names.push_back(shown);
    for (std::size_t i = 0; i + 1 < feature.tags.size(); i += 2) {
        if (feature.tags[i] >= layer.keys.size() || feature.tags[i + 1] >= layer.values.size())
            continue;
        const std::string& key = layer.keys[feature.tags[i]];
        const VectorValue& value = layer.values[feature.tags[i + 1]];
        const bool otherName = key.rfind("name:", 0) == 0 || key.rfind("name_", 0) == 0 || key == "alt_name" ||
                               key == "old_name";
        if (otherName && value.type == VectorValue::Type::text && !value.text.empty() &&
            std::find(names.begin(), names.end(), value.text) == names.end())
            names.push_back(value.text);
    }
    return names;
}

// What a labelled feature is, from its layer's name and its tags.
Label labelOf(const VectorLayer& layer, const VectorFeature& feature)
{
    Label label;
    label.names = namesOf(layer, feature);
    if (label.names.empty() || contains(layer.name, "housenumber"))
        return label;
    const bool line = feature.kind == VectorFeature::Kind::line;
    if (contains(layer.name, "place") || !textOf(layer, feature, "place").empty()) {
        if (!line)
            label = {Role::place, firstOf(layer, feature, {"place", "class", "type", "kind"}), label.names};
    } else if (contains(layer.name, "poi") || !firstOf(layer, feature, {"amenity", "shop", "tourism", "leisure"}).empty()) {
        label = {Role::poi,
                 firstOf(layer, feature, {"subclass", "amenity", "shop", "tourism", "leisure", "class", "type", "maki"}),
                 label.names};
    } else if (line && (contains(layer.name, "transportation") || contains(layer.name, "road") ||
                        contains(layer.name, "street") || !textOf(layer, feature, "highway").empty())) {
        label = {Role::street, "street", label.names};
    }
    if (label.kind.empty())
        label.kind = label.role == Role::place ? "place" : "poi";
    return label;
}

// The point standing for a feature, in the tile's units: a point itself,
// the middle vertex of a line, the middle of an area's box.
VectorPoint standIn(const VectorFeature& feature)
{
    if (feature.kind == VectorFeature::Kind::polygon)
        return VectorPoint{feature.minX + (feature.maxX - feature.minX) / 2, feature.minY + (feature.maxY - feature.minY) / 2};
    const std::uint32_t firstEnd = feature.parts.empty() ? feature.points.size() : feature.parts[0].end;
    return feature.points[std::min<std::size_t>(firstEnd / 2, feature.points.size() - 1)];
}

} // namespace

LabelSource::LabelSource(IndexWriter* writer) : writer(writer) {}

bool LabelSource::readFile(const std::string& path, std::string* why)
{
    std::unique_ptr<TileArchive> archive = TileArchive::open(path, why);
    if (!archive)
        return false;
    if (archive->info().format != "pbf") {
        *why = "not a vector archive (its tiles are " + archive->info().format + " pictures): it has no labels to index";
        return false;
    }
    const std::vector<ArchiveLevel>& levels = archive->info().levels;
    const ArchiveLevel* chosen = nullptr;
    for (const ArchiveLevel& level : levels)
        if (level.z <= deepestLabelLevel && level.tiles > 0)
            chosen = &level;
    if (!chosen) {
        *why = "holds no tiles at levels 0 to 14";
        return false;
    }
    std::uint64_t done = 0;
    return readLevel(*archive, *chosen, Pass::places, &done, why) && readLevel(*archive, *chosen, Pass::rest, &done, why);
}

bool LabelSource::readLevel(TileArchive& archive, const ArchiveLevel& level, Pass pass, std::uint64_t* done,
                            std::string* why)
{
    const std::uint64_t all = 2 * static_cast<std::uint64_t>(level.tiles);
    bool stopped = false;
    const bool read = archive.forEachTileAt(
        level.z, level.minX, level.minY, level.maxX, level.maxY,
        [&](long long x, long long y, const std::string& bytes) {
            if (interrupted && interrupted()) {
                stopped = true;
                return false;
            }
            VectorTile tile;
            std::string fault;
            if (MvtReader::read(bytes, &tile, &fault))
                readTile(tile, level.z, x, y, pass);
            else if (pass == Pass::places)
                ++badTiles;
            if (progress)
                progress(++*done, all);
            return true;
        },
        why);
    if (stopped)
        *why = "interrupted";
    return read && !stopped;
}

void LabelSource::readTile(const VectorTile& tile, int z, long long x, long long y, Pass pass)
{
    for (const VectorLayer& layer : tile.layers)
        for (const VectorFeature& feature : layer.features)
            if (!feature.points.empty())
                readFeature(layer, feature, z, x, y, pass);
}

void LabelSource::readFeature(const VectorLayer& layer, const VectorFeature& feature, int z, long long x, long long y,
                              Pass pass)
{
    const Label label = labelOf(layer, feature);
    if (label.role == Role::none || (label.role == Role::place) != (pass == Pass::places))
        return;
    const VectorPoint at = standIn(feature);
    const long long extent = layer.extent ? layer.extent : 4096;
    // Tiles repeat what lies just past their edges; a point belongs to the tile it is in.
    if (label.role != Role::street && (at.x < 0 || at.y < 0 || at.x >= extent || at.y >= extent))
        return;
    SearchEntry entry;
    entry.kind = label.kind;
    entry.names = label.names;
    Mercator::toLonLat((x + static_cast<double>(at.x) / extent) * 256, (y + static_cast<double>(at.y) / extent) * 256,
                       z, &entry.lon, &entry.lat);
    if (label.role == Role::place) {
        entry.place = finder.find(entry.lat, entry.lon, label.names[0]);
        finder.add(label.names[0], label.kind, entry.lat, entry.lon);
        ++places;
        writer->add(entry);
        return;
    }
    entry.place = finder.find(entry.lat, entry.lon);
    if (label.role == Role::street) {
        ++streets;
        writer->addStreet(entry);
    } else {
        ++pois;
        writer->add(entry);
    }
}
