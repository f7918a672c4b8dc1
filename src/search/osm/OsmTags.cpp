#include "OsmTags.h"

#include <cctype>

namespace {

const char* const placeKinds[] = {"city", "town", "village", "hamlet", "suburb", "quarter", "neighbourhood",
                                  "locality", "isolated_dwelling", "island", "islet", "farm", "square"};
// Keys whose value says what a named thing is, in the order they are asked.
const char* const poiKeys[] = {"amenity", "shop", "tourism", "leisure", "historic", "office", "craft",
                               "healthcare", "emergency", "sport", "man_made", "natural", "aeroway", "railway",
                               "public_transport", "building"};

std::string value(const OsmTags::Tags& tags, const std::string& key)
{
    for (const auto& t : tags)
        if (t.first == key)
            return t.second;
    return std::string();
}

// name:en, name:de-AT, but not name:etymology:wikidata.
bool languageName(const std::string& key)
{
    if (key.compare(0, 5, "name:") != 0 || key.size() > 16 || key.size() < 7)
        return false;
    for (std::size_t i = 5; i < key.size(); ++i)
        if (!std::isalpha(static_cast<unsigned char>(key[i])) && key[i] != '-' && key[i] != '_')
            return false;
    return true;
}

void addSplit(const std::string& text, std::vector<std::string>* out)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == ';') {
            std::string part = text.substr(start, i - start);
            while (!part.empty() && part.front() == ' ')
                part.erase(0, 1);
            while (!part.empty() && part.back() == ' ')
                part.pop_back();
            if (!part.empty() && out->size() < 64)
                out->push_back(part);
            start = i + 1;
        }
}

std::string poiKind(const OsmTags::Tags& tags)
{
    for (const char* key : poiKeys) {
        const std::string v = value(tags, key);
        if (v.empty() || v == "no")
            continue;
        const std::string k = key;
        if ((k == "railway" && v != "station" && v != "halt" && v != "tram_stop") ||
            (k == "public_transport" && v != "station") || (k == "aeroway" && v != "aerodrome"))
            continue;
        return v == "yes" ? k : v;
    }
    const std::string highway = value(tags, "highway");
    if (highway == "bus_stop")
        return highway;
    return std::string();
}

} // namespace

namespace OsmTags {

std::vector<std::string> names(const Tags& tags)
{
    std::vector<std::string> out;
    addSplit(value(tags, "name"), &out);
    for (const auto& t : tags)
        if (languageName(t.first))
            addSplit(t.second, &out);
    addSplit(value(tags, "alt_name"), &out);
    addSplit(value(tags, "old_name"), &out);
    return out;
}

void classify(const Tags& tags, bool way, std::vector<Found>* out)
{
    const std::vector<std::string> all = names(tags);
    const std::string city = value(tags, "addr:city");
    const std::string number = value(tags, "addr:housenumber");
    if (!number.empty()) {
        std::string street = value(tags, "addr:street");
        if (street.empty())
            street = value(tags, "addr:place");
        if (!street.empty()) {
            Found f;
            f.entry.kind = "address";
            f.entry.names.push_back(street + " " + number);
            f.entry.place = city;
            out->push_back(f);
        }
    }
    if (all.empty())
        return;
    Found f;
    f.entry.names = all;
    f.entry.place = city;
    const std::string place = value(tags, "place");
    for (const char* kind : placeKinds)
        if (place == kind) {
            f.entry.kind = place;
            f.isPlace = true;
            out->push_back(f);
            return;
        }
    const std::string highway = value(tags, "highway");
    if (way && !highway.empty() && highway != "bus_stop" && highway != "platform") {
        f.entry.kind = "street";
        f.street = true;
        out->push_back(f);
        return;
    }
    f.entry.kind = poiKind(tags);
    if (!f.entry.kind.empty())
        out->push_back(f);
}

} // namespace OsmTags
