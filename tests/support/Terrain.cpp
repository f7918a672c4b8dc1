#include "Terrain.h"

#include "TerrariumPng.h"

#include <cmath>

std::string terrariumTile(int edge, const Surface& f, int x0, int y0)
{
    std::vector<float> m(static_cast<std::size_t>(edge) * edge);
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x)
            m[static_cast<std::size_t>(y) * edge + x] = static_cast<float>(f(x0 + x, y0 + y));
    return TerrariumPng::encode(m, edge);
}

ElevationGrid gridOf(int size, const Surface& f)
{
    std::vector<float> z;
    for (int y = -1; y <= size; ++y)
        for (int x = -1; x <= size; ++x)
            z.push_back(static_cast<float>(f(x, y)));
    return ElevationGrid::fromSamples(size, z);
}

std::shared_ptr<const ElevationTile> tileOf(int edge, const Surface& f, int x0, int y0)
{
    auto t = std::make_shared<ElevationTile>();
    std::string why;
    if (!ElevationTile::decode(terrariumTile(edge, f, x0, y0), ElevationEncoding::terrarium, t.get(), &why))
        return nullptr;
    return t;
}

std::string hgtBytes(int samples, const std::function<int(int x, int y)>& h)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(samples) * samples * 2);
    for (int y = 0; y < samples; ++y)
        for (int x = 0; x < samples; ++x) {
            const unsigned v = static_cast<std::uint16_t>(static_cast<std::int16_t>(h(x, y)));
            out.push_back(static_cast<char>(v >> 8));
            out.push_back(static_cast<char>(v & 255));
        }
    return out;
}

double alpine(double x, double y)
{
    // At level 14 (about 6.5 m a pixel in the Alps) slopes of 30° to 65°.
    return 1500 + 600 * std::sin(x / 120.0) * std::cos(y / 150.0) + 150 * std::sin((x + 2 * y) / 60.0) +
           30 * std::cos((3 * x - y) / 25.0);
}
