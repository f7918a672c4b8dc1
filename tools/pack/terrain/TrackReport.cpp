#include "TrackReport.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace TrackReport {

namespace {

std::string fixed(double v, int decimals, const char* unit)
{
    if (v != v)
        return "unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, v, unit);
    return text;
}

nlohmann::json value(double v)
{
    return v == v ? nlohmann::json(std::round(v * 100) / 100) : nlohmann::json(nullptr);
}

} // namespace

std::string clock(double seconds)
{
    if (seconds != seconds)
        return "unknown";
    const long long s = std::llround(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

void writeText(const std::vector<Entry>& tracks, std::ostream& out)
{
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const TrackSummary& f = tracks[i].figures;
        out << (i ? "\n" : "") << "track " << i + 1 << (tracks[i].name.empty() ? "" : ": " + tracks[i].name) << "\n"
            << "  points:          " << f.points << "\n"
            << "  distance:        " << fixed(f.distance / 1000, 3, "km") << "\n"
            << "  duration:        " << clock(f.duration) << "\n"
            << "  moving time:     " << clock(f.moving) << "\n"
            << "  average speed:   " << fixed(f.averageSpeed * 3.6, 2, "km/h") << " (while moving)\n"
            << "  maximum speed:   " << fixed(f.maxSpeed * 3.6, 2, "km/h") << "\n"
            << "  ascent:          " << fixed(f.ascent, 1, "m") << "\n"
            << "  descent:         " << fixed(f.descent, 1, "m") << "\n"
            << "  lowest point:    " << fixed(f.lowest, 1, "m") << "\n"
            << "  highest point:   " << fixed(f.highest, 1, "m") << "\n";
        if (tracks[i].elevationsFilled)
            out << "  elevations from the archive: " << tracks[i].elevationsFilled << " points\n";
    }
}

void writeJson(const std::vector<Entry>& tracks, std::ostream& out)
{
    nlohmann::json all = nlohmann::json::array();
    for (const Entry& t : tracks) {
        const TrackSummary& f = t.figures;
        all.push_back({{"name", t.name},
                       {"points", f.points},
                       {"distance_m", value(f.distance)},
                       {"duration_s", value(f.duration)},
                       {"moving_time_s", value(f.moving)},
                       {"average_speed_mps", value(f.averageSpeed)},
                       {"max_speed_mps", value(f.maxSpeed)},
                       {"ascent_m", value(f.ascent)},
                       {"descent_m", value(f.descent)},
                       {"lowest_m", value(f.lowest)},
                       {"highest_m", value(f.highest)},
                       {"elevations_filled", t.elevationsFilled}});
    }
    out << all.dump(2) << "\n";
}

} // namespace TrackReport
