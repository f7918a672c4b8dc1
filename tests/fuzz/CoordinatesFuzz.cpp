// Fuzz target for coordinates typed in the search field.
#include "Coordinates.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    double lat = 0, lon = 0;
    std::string why;
    Coordinates::looksLike(text);
    if (Coordinates::parse(text, &lat, &lon, &why)) {
        if (!(std::fabs(lat) <= 90 && std::fabs(lon) <= 180))
            __builtin_trap();
    } else if (why.empty()) {
        __builtin_trap();
    }
    return 0;
}
