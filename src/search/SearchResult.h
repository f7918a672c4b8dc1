#ifndef TESSEL_SEARCH_SEARCHRESULT_H
#define TESSEL_SEARCH_SEARCHRESULT_H

#include <string>

// One thing found, as the viewer and the toolbox show it.
struct SearchResult {
    std::string name;     // the name shown
    std::string matched;  // the name the words matched, when another one
    std::string kind;
    std::string place;
    double lat = 0, lon = 0;
    double distance = 0;  // metres from the point searched near
    double bearing = 0;   // degrees clockwise from north, towards it
    // 0: the name alone holds every word and starts with the first; 1: the
    // name alone holds every word; 2: the place holds some.
    int rank = 2;
};

#endif
