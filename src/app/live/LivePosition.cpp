#include "LivePosition.h"

#include "Clock.h"
#include "GpsFeed.h"
#include "Lang.h"
#include "Map.h"
#include "Mercator.h"
#include "Rects.h"
#include "Signature.h"

#include <cmath>
#include <cstdlib>

namespace {

// Half the recording line's width and more.
const int lineMargin = 3;

// What of a fix shows at level z, wherever the view is: the marker's world
// pixel, course step and disc radius. The feed wakes the loop when this
// changes, and a heartbeat after the last wake-up: the overlay's five
// decimals of a followed fix follow at that pace, as from a fix a second,
// rather than wake the loop for every fix of a fast receiver (ten a second
// would change them nearly every time at the speed of a car).
std::function<std::uint64_t(const Fix&)> showingAt(int z)
{
    return [z](const Fix& fix) {
        Signature s;
        s.add(static_cast<std::uint64_t>(fix.mode));
        if (!fix.hasPosition())
            return s.value();
        double x, y;
        Mercator::toPixel(fix.lon, fix.lat, z, &x, &y);
        s.add(static_cast<std::uint64_t>(std::llround(x)) << 32 ^ static_cast<std::uint64_t>(std::llround(y)));
        const bool course =
            std::isfinite(fix.course) && std::isfinite(fix.speed) && fix.speed >= PositionMarker::movingSpeed;
        s.add(course ? static_cast<std::uint64_t>(std::lround(fix.course / PositionMarker::courseStep)) : ~0ull);
        const double disc = fix.accuracy / Mercator::metresPerPixel(fix.lat, z);
        s.add(std::isfinite(disc) ? static_cast<std::uint64_t>(std::llround(std::fmin(disc, 1e6))) : 0);
        return s.value();
    };
}

} // namespace

LivePosition::LivePosition() = default;

LivePosition::~LivePosition() = default;

void LivePosition::start(const GpsAddress& address, const std::string& tracksDir, bool record, Clock* clock,
                         bool threaded)
{
    stop();
    recordWish = record;
    if (address.off)
        return;
    this->clock = clock;
    lastReportAt = clock->ticks();
    feed.reset(new GpsFeed(address, tracksDir, clock));
    feed->setRecording(record);
    status.link = GpsStatus::connecting;
    if (threaded)
        feed->start(onChange);
}

void LivePosition::stop()
{
    feed.reset();
    status = GpsStatus();
    stale = false;
    recordingLine = Tracks();
    shownPath.clear();
    recordedPoints = 0;
    fresh.clear();
}

void LivePosition::step(int timeoutMs)
{
    if (feed)
        feed->step(timeoutMs);
}

unsigned long LivePosition::reportsTaken() const
{
    return feed ? feed->reports() : 0;
}

std::string LivePosition::update(Map* map)
{
    if (!feed)
        return std::string();
    const View now = viewOf(*map);
    if (!(now == left)) {
        if (now.package == left.package && now.z == left.z)
            follow.userMoved();
        else if (follow.zoomed(status.fix))
            centre(map);
    }
    std::vector<RecordedPoint> points;
    const unsigned long before = status.reports;
    // Reports that would show nothing new do not wake the loop.
    int z = 0;
    if (map->mercatorLevel(&z))
        feed->setShowing(z, showingAt(z));
    else
        feed->setShowing(-1, nullptr);
    status = feed->status(&points);
    grow(points);
    const std::uint32_t ticks = clock->ticks();
    if (status.reports != before)
        lastReportAt = ticks;
    stale = status.fix.hasPosition() && ticks - lastReportAt >= staleMs;
    if (status.reports != before && follow.report(status.fix))
        centre(map);
    left = viewOf(*map);
    if (!status.recordingProblem.empty())
        recordWish = false;
    return status.recordingProblem;
}

LivePosition::View LivePosition::viewOf(const Map& map)
{
    View view;
    if (!map.loaded())
        return view;
    view.package = map.api.get();
    if (!map.mercatorLevel(&view.z))
        view.z = -1;
    map.worldPixel(map.grid.viewWidth / 2.0, map.grid.viewHeight / 2.0, &view.x, &view.y);
    return view;
}

void LivePosition::grow(const std::vector<RecordedPoint>& points)
{
    if (points.empty()) {
        if (!fresh.empty())
            fresh.erase(fresh.begin(), fresh.end() - 1);
        return;
    }
    // A new recording replaces the line of the last one (which is in
    // tracks/ now, shown from the next start).
    if (status.recordingPath != shownPath || recordingLine.files.empty()) {
        recordingLine = Tracks();
        Tracks::File file;
        file.path = status.recordingPath;
        recordingLine.add(file);
        recordingLine.files[0].colour = SDL_Color{255, 0, 160, 0};
        shownPath = status.recordingPath;
        recordedPoints = 0;
        fresh.clear();
    }
    // The segment from the last point shown to the first new one changes
    // too, unless a new segment starts there.
    if (!fresh.empty())
        fresh.erase(fresh.begin(), fresh.end() - (points.front().startsSegment ? 1 : 0));
    for (const RecordedPoint& point : points) {
        recordingLine.extend(0, LonLat{point.lon, point.lat}, point.startsSegment);
        fresh.push_back(LonLat{point.lon, point.lat});
    }
    recordedPoints += points.size();
}

void LivePosition::centre(Map* map) const
{
    if (map && map->loaded() && status.fix.hasPosition())
        map->centreOn(status.fix.lon, status.fix.lat);
}

void LivePosition::resume(Map* map)
{
    if (follow.resume(status.fix))
        centre(map);
    left = viewOf(*map);
}

void LivePosition::setRecording(bool on)
{
    recordWish = on;
    if (feed)
        feed->setRecording(on);
}

bool LivePosition::fixAtCentre(const Map& map) const
{
    PositionMarker::Look look;
    if (!feed || !follow.following || !PositionMarker::look(status.fix, map, &look, stale) || look.atEdge)
        return false;
    return std::abs(look.x - map.grid.viewWidth / 2) <= 1 && std::abs(look.y - map.grid.viewHeight / 2) <= 1;
}

bool LivePosition::followedPosition(const Map& map, double* lon, double* lat) const
{
    if (!fixAtCentre(map))
        return false;
    *lon = status.fix.lon;
    *lat = status.fix.lat;
    return true;
}

std::string LivePosition::stateText(Lang* lang) const
{
    if (!feed)
        return lang->value("gps_off");
    if (status.link != GpsStatus::connected)
        return lang->value("gps_no_gpsd");
    const FixMode mode = status.fix.mode;
    if ((mode != FixMode::twoD && mode != FixMode::threeD) || stale)
        return lang->value("gps_no_fix");
    std::string text = lang->value(mode == FixMode::threeD ? "gps_3d" : "gps_2d");
    if (status.fix.satellites >= 0)
        text += " (" + std::to_string(status.fix.satellites) + ")";
    return text;
}

void LivePosition::drawOnMap(SDL_Surface* screen, const Map& map)
{
    int z = 0;
    double x, y;
    if (!feed || !map.screenOrigin(&z, &x, &y))
        return;
    if (!recordingLine.files.empty())
        recordingLine.draw(screen, z, x, y, nullptr, false);
    PositionMarker::Look look;
    if (PositionMarker::look(status.fix, map, &look, stale))
        marker.draw(screen, look);
}

SDL_Rect LivePosition::signMap(Signature* signature, const Map& map) const
{
    const SDL_Rect everything{0, 0, static_cast<Uint16>(map.grid.viewWidth), static_cast<Uint16>(map.grid.viewHeight)};
    int z = 0;
    signature->add(static_cast<std::uint64_t>(on()));
    if (!feed || !map.mercatorLevel(&z))
        return everything;
    signature->add(shownPath);
    signature->add(static_cast<std::uint64_t>(recordedPoints));
    // The marker is signed whatever the box, so that a marker that moved is
    // drawn again even when the line's change covers the view.
    PositionMarker::Look look;
    const bool marked = PositionMarker::look(status.fix, map, &look, stale);
    if (marked)
        PositionMarker::sign(signature, look);
    // A new recording's line replaces all of the last one.
    if (recordedPoints != 0 && recordedPoints == fresh.size())
        return everything;
    SDL_Rect box{0, 0, 0, 0};
    for (const LonLat& point : fresh) {
        double x, y;
        map.toScreen(point, &x, &y);
        x = std::fmax(-1000, std::fmin(x, 10000));
        y = std::fmax(-1000, std::fmin(y, 10000));
        box = unite(box, SDL_Rect{static_cast<Sint16>(x - lineMargin), static_cast<Sint16>(y - lineMargin),
                                  2 * lineMargin + 1, 2 * lineMargin + 1});
    }
    if (marked)
        box = unite(box, look.box());
    return box;
}

void LivePosition::drawIndicator(SDL_Surface* screen)
{
    marker.drawIndicator(screen, status, stale);
    if (notFollowing())
        marker.drawFollowOff(screen);
}

bool LivePosition::notFollowing() const
{
    return feed && !follow.following && status.fix.hasPosition();
}

void LivePosition::signIndicator(Signature* signature) const
{
    signature->add(static_cast<std::uint64_t>(status.link) | static_cast<std::uint64_t>(status.fix.mode) << 8 |
                   static_cast<std::uint64_t>(stale) << 16 | static_cast<std::uint64_t>(notFollowing()) << 17);
}

bool LivePosition::staleAt(std::uint32_t* due) const
{
    if (!feed || stale || !status.fix.hasPosition())
        return false;
    *due = lastReportAt + staleMs;
    return true;
}
