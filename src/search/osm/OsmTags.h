#ifndef TESSEL_SEARCH_OSMTAGS_H
#define TESSEL_SEARCH_OSMTAGS_H

#include "SearchEntry.h"

#include <string>
#include <utility>
#include <vector>

// What an OpenStreetMap object's tags make of it for the search: a place,
// a piece of a street, a named point of interest with its kind, an
// address; several at once (a shop with an address is both).
namespace OsmTags {

using Tags = std::vector<std::pair<std::string, std::string>>;

struct Found {
    SearchEntry entry;  // no position yet; `place` holds addr:city when tagged
    bool street = false;
    bool isPlace = false;  // a place=* entry (its own place is found apart)
};

// Every name form: name, name:*, alt_name, old_name (lists split at ';').
std::vector<std::string> names(const Tags& tags);
void classify(const Tags& tags, bool way, std::vector<Found>* out);

} // namespace OsmTags

#endif
