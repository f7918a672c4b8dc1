#ifndef TESSEL_SEARCH_HILBERTORDER_H
#define TESSEL_SEARCH_HILBERTORDER_H

#include <cstdint>

// The place of a point along a Hilbert curve over a 2^20 × 2^20 grid of
// the world: neighbours along the curve are neighbours on the ground, so
// a run of entries in this order covers a small box.
namespace HilbertOrder {

inline std::uint64_t key(std::int32_t latMicro, std::int32_t lonMicro)
{
    const std::uint32_t n = 1u << 20;
    std::uint32_t x = static_cast<std::uint32_t>((static_cast<std::int64_t>(lonMicro) + 180000000) * n / 360000001);
    std::uint32_t y = static_cast<std::uint32_t>((static_cast<std::int64_t>(latMicro) + 90000000) * n / 180000001);
    std::uint64_t d = 0;
    for (std::uint32_t s = n / 2; s > 0; s /= 2) {
        const std::uint32_t rx = (x & s) ? 1 : 0, ry = (y & s) ? 1 : 0;
        d += static_cast<std::uint64_t>(s) * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = s - 1 - x;
                y = s - 1 - y;
            }
            const std::uint32_t t = x;
            x = y;
            y = t;
        }
    }
    return d;
}

} // namespace HilbertOrder

#endif
