#include "TerrariumPng.h"

#include "Codecs.h"
#include "ElevationEncoding.h"

#include <cstdint>

namespace TerrariumPng {

std::string encode(const std::vector<float>& metres, int edge)
{
    SDL_Surface* s = Codecs::newRgba(edge, edge);
    if (!s)
        return std::string();
    bool any = false;
    SDL_LockSurface(s);
    for (int y = 0; y < edge; ++y) {
        std::uint8_t* row = static_cast<std::uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < edge; ++x) {
            const float m = metres[static_cast<std::size_t>(y) * edge + x];
            std::uint8_t* p = row + 4 * x;
            if (m != m) {
                p[0] = p[1] = p[2] = p[3] = 0;
                continue;
            }
            Elevations::encodeTerrarium(m, &p[0], &p[1], &p[2]);
            p[3] = 255;
            any = true;
        }
    }
    SDL_UnlockSurface(s);
    std::string out = any ? Codecs::encodePng(s) : std::string();
    SDL_FreeSurface(s);
    return out;
}

} // namespace TerrariumPng
