#ifndef TESSEL_SEARCH_SEARCHENTRY_H
#define TESSEL_SEARCH_SEARCHENTRY_H

#include <string>
#include <vector>

// One thing the search finds: a place, a street, a point of interest or an
// address, under every name it goes by (the first is the one shown).
struct SearchEntry {
    std::string kind;  // "town", "street", "address", "restaurant", ...
    std::vector<std::string> names;
    std::string place;  // the town or village it lies in, if known
    double lat = 0, lon = 0;
};

#endif
