#include "PlaceFinder.h"

#include "Geodesy.h"

#include <cmath>

namespace {

const double cellDegrees = 0.1;
const double longestReach = 15000;

} // namespace

double PlaceFinder::reach(const std::string& kind)
{
    if (kind == "city")
        return longestReach;
    if (kind == "town")
        return 7000;
    if (kind == "village")
        return 3000;
    if (kind == "hamlet")
        return 1500;
    return 0;
}

std::int64_t PlaceFinder::cell(double lat, double lon)
{
    const std::int64_t y = static_cast<std::int64_t>(std::floor((lat + 90) / cellDegrees));
    const std::int64_t x = static_cast<std::int64_t>(std::floor((lon + 180) / cellDegrees));
    return y * 4000 + x;
}

void PlaceFinder::add(const std::string& name, const std::string& kind, double lat, double lon)
{
    const double r = reach(kind);
    if (r <= 0 || name.empty() || !(std::fabs(lat) <= 90 && std::fabs(lon) <= 180))
        return;
    grid[cell(lat, lon)].push_back(static_cast<std::uint32_t>(places.size()));
    places.push_back({name, lat, lon, r});
}

std::string PlaceFinder::find(double lat, double lon, const std::string& except) const
{
    if (!(std::fabs(lat) <= 90 && std::fabs(lon) <= 180))
        return std::string();
    // Cells far enough to hold anything within the longest reach.
    const int rows = static_cast<int>(std::ceil(longestReach / 111000 / cellDegrees));
    const double c = std::max(0.05, std::cos(Geodesy::radians(std::min(89.0, std::fabs(lat) + 0.2))));
    const int columns = std::min(1800, static_cast<int>(std::ceil(longestReach / (111000 * c) / cellDegrees)));
    const Place* best = nullptr;
    double bestScore = 1;
    for (int dy = -rows; dy <= rows; ++dy)
        for (int dx = -columns; dx <= columns; ++dx) {
            const auto found = grid.find(cell(lat + dy * cellDegrees, lon + dx * cellDegrees));
            if (found == grid.end())
                continue;
            for (std::uint32_t i : found->second) {
                const Place& p = places[i];
                const double score = Geodesy::distance(lat, lon, p.lat, p.lon) / p.reach;
                if (score < bestScore && p.name != except) {
                    bestScore = score;
                    best = &p;
                }
            }
        }
    return best ? best->name : std::string();
}
