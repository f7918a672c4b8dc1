#include "LivePosition.h"

#include "GpsFeed.h"
#include "Lang.h"
#include "Map.h"
#include "Signature.h"
#include "TrackRecorder.h"

#include <cstdio>

LivePosition::LivePosition() = default;

LivePosition::~LivePosition() = default;

void LivePosition::start(const GpsAddress& address, const std::string& tracksDir, bool record, Clock* clock,
                         bool threaded)
{
    for (const std::string& name : TrackRecorder::repairAll(tracksDir))
        std::printf("tessel: %s was cut short; closed after its last whole point\n", name.c_str());
    recordWish = record;
    if (address.off)
        return;
    feed.reset(new GpsFeed(address, tracksDir, clock));
    feed->setRecording(record);
    status.link = GpsStatus::waiting;
    if (threaded)
        feed->start();
}

void LivePosition::step(int timeoutMs)
{
    if (feed)
        feed->step(timeoutMs);
}

std::string LivePosition::update(Map* map)
{
    if (!feed)
        return std::string();
    std::vector<RecordedPoint> points;
    const unsigned long before = status.reports;
    status = feed->status(&points);
    grow(points);
    if (status.reports != before && follow.report(status.fix))
        centre(map);
    if (!status.recordingProblem.empty())
        recordWish = false;
    return status.recordingProblem;
}

void LivePosition::grow(const std::vector<RecordedPoint>& points)
{
    if (points.empty())
        return;
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
    }
    for (const RecordedPoint& point : points)
        recordingLine.extend(0, LonLat{point.lon, point.lat}, point.startsSegment);
    recordedPoints += points.size();
}

void LivePosition::centre(Map* map) const
{
    if (map && map->loaded())
        map->centreOn(status.fix.lon, status.fix.lat);
}

void LivePosition::resume(Map* map)
{
    if (follow.resume(status.fix))
        centre(map);
}

void LivePosition::zoomed(Map* map)
{
    if (follow.zoomed(status.fix))
        centre(map);
}

void LivePosition::setRecording(bool on)
{
    recordWish = on;
    if (feed)
        feed->setRecording(on);
}

bool LivePosition::followedPosition(double* lon, double* lat) const
{
    if (!feed || !follow.following || !status.fix.hasPosition())
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
    if (mode != FixMode::twoD && mode != FixMode::threeD)
        return lang->value("gps_no_fix");
    std::string text = lang->value(mode == FixMode::threeD ? "gps_3d" : "gps_2d");
    if (status.fix.satellites >= 0)
        text += ", " + std::to_string(status.fix.satellites) + " " + lang->value("gps_satellites");
    return text;
}

void LivePosition::drawOnMap(SDL_Surface* screen, const Map& map)
{
    int z = 0;
    if (!feed || !map.mercatorLevel(&z))
        return;
    if (!recordingLine.files.empty()) {
        double x, y;
        map.worldPixel(0, 0, &x, &y);
        recordingLine.draw(screen, z, x, y, nullptr, false);
    }
    PositionMarker::Look look;
    if (PositionMarker::look(status.fix, map, &look))
        PositionMarker::draw(screen, look);
}

void LivePosition::signMap(Signature* signature, const Map& map) const
{
    if (!feed)
        return;
    signature->add(static_cast<std::uint64_t>(recordedPoints));
    signature->add(shownPath);
    PositionMarker::Look look;
    signature->add(static_cast<std::uint64_t>(PositionMarker::look(status.fix, map, &look)));
    PositionMarker::sign(signature, look);
}

void LivePosition::signIndicator(Signature* signature) const
{
    signature->add(static_cast<std::uint64_t>(status.link));
    signature->add(static_cast<std::uint64_t>(status.fix.mode));
}
