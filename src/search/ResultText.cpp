#include "ResultText.h"

#include "Geodesy.h"

#include <cmath>
#include <cstdio>

namespace ResultText {

std::string distance(double metres)
{
    char text[32];
    if (metres < 1000)
        std::snprintf(text, sizeof text, "%d m", static_cast<int>(std::lround(metres)));
    else if (metres < 10000)
        std::snprintf(text, sizeof text, "%.1f km", metres / 1000);
    else
        std::snprintf(text, sizeof text, "%ld km", std::lround(metres / 1000));
    return text;
}

std::string line(const SearchResult& r)
{
    std::string out = r.name;
    if (!r.matched.empty())
        out += " (" + r.matched + ")";
    if (!r.place.empty() && r.place != r.name)
        out += ", " + r.place;
    out += " \xC2\xB7 " + r.kind + " \xC2\xB7 " + distance(r.distance);
    if (r.distance >= 1)
        out += std::string(" ") + Geodesy::compass(r.bearing);
    return out;
}

int zoom(const std::string& kind)
{
    if (kind == "city")
        return 12;
    if (kind == "town" || kind == "island")
        return 13;
    if (kind == "village" || kind == "suburb" || kind == "quarter")
        return 14;
    if (kind == "hamlet" || kind == "neighbourhood" || kind == "locality" || kind == "islet")
        return 15;
    if (kind == "street" || kind == "square")
        return 16;
    return 17;  // addresses and points of interest
}

} // namespace ResultText
