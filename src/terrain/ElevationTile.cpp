#include "ElevationTile.h"

#include "TileDecoder.h"

#include <cmath>
#include <limits>

namespace {

bool fail(std::string* why, const std::string& text)
{
    if (why)
        *why = text;
    return false;
}

} // namespace

bool ElevationTile::decode(const std::string& bytes, ElevationEncoding encoding, ElevationTile* out, std::string* why)
{
    std::vector<std::uint8_t> rgba;
    int w = 0, h = 0;
    if (!TileDecoder::decodeRgba(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &rgba, &w, &h, why))
        return false;
    if (w != h)
        return fail(why, "an elevation tile must be square, not " + std::to_string(w) + "×" + std::to_string(h));
    return fromRgba(rgba.data(), w, encoding, out, why);
}

bool ElevationTile::fromRgba(const std::uint8_t* rgba, int edge, ElevationEncoding encoding, ElevationTile* out,
                             std::string* why)
{
    if (edge < minEdge || edge > maxEdge)
        return fail(why, "elevation tiles of " + std::to_string(edge) + " px are refused (" + std::to_string(minEdge) +
                             " to " + std::to_string(maxEdge) + ")");
    if (encoding == ElevationEncoding::none)
        return fail(why, "no elevation encoding");
    const std::size_t n = static_cast<std::size_t>(edge) * edge;
    out->edge = edge;
    out->metres.resize(n);
    out->hasVoids = false;
    const float none = std::numeric_limits<float>::quiet_NaN();
    std::size_t outside = 0;
    bool oneMarker = true;
    float marker = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = rgba + 4 * i;
        float v = encoding == ElevationEncoding::terrarium ? Elevations::decodeTerrarium(p[0], p[1], p[2])
                                                           : Elevations::decodeMapbox(p[0], p[1], p[2]);
        if (p[3] == 0) {
            v = none;
        } else if (!(v >= Elevations::lowest && v <= Elevations::highest)) {
            // Voids are one marker value (often 0,0,0); a photo's colours vary.
            oneMarker = oneMarker && (outside == 0 || v == marker);
            marker = v;
            ++outside;
            v = none;
        }
        out->hasVoids = out->hasVoids || v != v;
        out->metres[i] = v;
    }
    if (outside * 4 > n && !oneMarker)
        return fail(why, "its colours are not " + std::string(Elevations::encodingName(encoding)) + " elevations (" +
                             std::to_string(outside * 100 / n) + "% of the pixels out of range)");
    return true;
}
