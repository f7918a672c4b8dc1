#include "GpsdReport.h"

#include <cstdint>
#include <cstring>
#include <gps.h>
#include <nlohmann/json.hpp>
#include <vector>

namespace GpsdReport {

namespace {

// The value when it is finite and within [low, high], else NaN.
double inRange(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high ? value : NAN;
}

// Seconds since 1970 up to the end of year 9999: a time GPX can say.
double seconds(const timespec_t& time)
{
    // 64 bits whatever time_t is (32 on armhf).
    const std::int64_t sec = time.tv_sec;
    if (sec <= 0 || sec > 253402300799 || time.tv_nsec < 0 || time.tv_nsec >= 1000000000)
        return NAN;
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

FixMode modeOf(int mode)
{
    switch (mode) {
    case MODE_NO_FIX:
        return FixMode::none;
    case MODE_2D:
        return FixMode::twoD;
    case MODE_3D:
        return FixMode::threeD;
    default:
        return FixMode::unknown;
    }
}

void foldPosition(const gps_data_t& data, Fix* fix)
{
    const gps_fix_t& in = data.fix;
    fix->mode = modeOf(in.mode);
    const bool placed = (data.set & LATLON_SET) != 0 && fix->mode >= FixMode::twoD;
    fix->lat = placed ? inRange(in.latitude, -90, 90) : NAN;
    fix->lon = placed ? inRange(in.longitude, -180, 180) : NAN;
    if (std::isnan(fix->lat) || std::isnan(fix->lon))
        fix->lat = fix->lon = NAN;
    // Heights from the deepest trench to far above any aircraft.
    const double msl = inRange(in.altMSL, -12000, 100000);
    fix->ele = fix->mode == FixMode::threeD ? (std::isnan(msl) ? inRange(in.altHAE, -12000, 100000) : msl) : NAN;
    fix->time = (data.set & TIME_SET) != 0 ? seconds(in.time) : NAN;
    double error = inRange(in.eph, 0, 1e7);
    if (std::isnan(error))
        error = inRange(std::fmax(in.epx, in.epy), 0, 1e7);
    fix->accuracy = error;
    const double course = inRange(in.track, -1e6, 1e6);
    fix->course = std::isnan(course) ? NAN : std::fmod(std::fmod(course, 360) + 360, 360);
    fix->speed = inRange(in.speed, 0, 1e5);
}

} // namespace

Kind fold(const gps_data_t& data, Fix* fix)
{
    if ((data.set & MODE_SET) != 0) {
        foldPosition(data, fix);
        return position;
    }
    if ((data.set & SATELLITE_SET) != 0) {
        fix->satellites = data.satellites_used >= 0 && data.satellites_used <= MAXCHANNELS ? data.satellites_used : -1;
        return sky;
    }
    return other;
}

Kind unpack(const std::string& message, gps_data_t* data, Fix* fix)
{
    // Only the two reports used here, naming their class first and once:
    // libgps's parser loops on objects that name it elsewhere or again.
    static const std::string tpv = "{\"class\":\"TPV\"", sky = "{\"class\":\"SKY\"";
    if (message.size() > maxLine ||
        (message.compare(0, tpv.size(), tpv) != 0 && message.compare(0, sky.size(), sky) != 0) ||
        message.find("\"class\"", tpv.size()) != std::string::npos || !nlohmann::json::accept(message))
        return other;
    // libgps parses in place and wants the terminating zero.
    std::vector<char> text(message.begin(), message.end());
    text.push_back('\0');
    // libgps leaves the flags of the last report on a line it cannot read.
    data->set = 0;
    if (gps_unpack(text.data(), data) != 0)
        return other;
    return fold(*data, fix);
}

Kind foldMessage(const std::string& message, Fix* fix)
{
    gps_data_t data;
    std::memset(&data, 0, sizeof data);
    return unpack(message, &data, fix);
}

} // namespace GpsdReport
