#include "ElevationEncoding.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <nlohmann/json.hpp>

namespace Elevations {

bool encodingByName(const std::string& name, ElevationEncoding* encoding)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "terrarium")
        *encoding = ElevationEncoding::terrarium;
    else if (lower == "mapbox")
        *encoding = ElevationEncoding::mapbox;
    else
        return false;
    return true;
}

const char* encodingName(ElevationEncoding encoding)
{
    switch (encoding) {
    case ElevationEncoding::terrarium:
        return "terrarium";
    case ElevationEncoding::mapbox:
        return "mapbox";
    default:
        return "none";
    }
}

ElevationEncoding encodingOf(const ArchiveInfo& info)
{
    ElevationEncoding encoding = ElevationEncoding::none;
    if (encodingByName(info.encoding, &encoding))
        return encoding;
    // A damaged JSON declares nothing; the archive may still be chosen as
    // elevations by hand.
    const nlohmann::json json = nlohmann::json::parse(info.metadataJson, nullptr, false);
    if (json.is_object() && json.contains("encoding") && json["encoding"].is_string())
        encodingByName(json["encoding"].get<std::string>(), &encoding);
    return encoding;
}

void encodeTerrarium(double metres, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b)
{
    const long v = std::lround((std::clamp(metres, -32768.0, 32767.0) + 32768.0) * 256.0);
    const long whole = std::min(v >> 8, 65535L);
    *r = static_cast<std::uint8_t>(whole >> 8);
    *g = static_cast<std::uint8_t>(whole & 255);
    *b = static_cast<std::uint8_t>(v >> 8 > 65535 ? 255 : v & 255);
}

} // namespace Elevations
