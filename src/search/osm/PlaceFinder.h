#ifndef TESSEL_SEARCH_PLACEFINDER_H
#define TESSEL_SEARCH_PLACEFINDER_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The town or village a point lies in, told by the nearest place within a
// reach that grows with its rank (a city's reaches farther than a
// hamlet's): without boundaries, what a user would name the place by.
class PlaceFinder {
public:
    // Whether a place of this kind names the places around it; its reach in metres.
    static double reach(const std::string& kind);

    void add(const std::string& name, const std::string& kind, double lat, double lon);
    // The place for a point; empty when none reaches it. `except` is left
    // out (a place is not in itself).
    std::string find(double lat, double lon, const std::string& except = std::string()) const;
    std::size_t size() const { return places.size(); }

private:
    struct Place {
        std::string name;
        double lat, lon, reach;
    };
    static std::int64_t cell(double lat, double lon);
    std::vector<Place> places;
    std::unordered_map<std::int64_t, std::vector<std::uint32_t>> grid;  // 0.1° cells
};

#endif
