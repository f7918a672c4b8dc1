#include "RouteLayer.h"

#include "Signature.h"

constexpr SDL_Color RouteLayer::fill;
constexpr SDL_Color RouteLayer::rim;

void RouteLayer::show(const Route& route)
{
    line = Tracks();
    Tracks::File file;
    file.name = "route";
    std::vector<LonLat> points;
    points.reserve(route.points.size());
    for (const RoutePoint& p : route.points)
        points.push_back(LonLat{p.lon, p.lat});
    file.data.lines.push_back(points);
    for (const auto& look : {std::make_pair(rim, 6), std::make_pair(fill, 4)}) {
        line.add(file);
        line.files.back().colour = look.first;
        line.files.back().width = look.second;
    }
    ++version;
}

void RouteLayer::clear()
{
    line = Tracks();
    ++version;
}

void RouteLayer::draw(SDL_Surface* screen, int z, double originX, double originY)
{
    if (shown())
        line.draw(screen, z, originX, originY, nullptr, false);
}

void RouteLayer::sign(Signature* signature) const
{
    signature->add(version);
}
