#include "TrackFigures.h"

#include <algorithm>
#include <cmath>

namespace {

const double earthRadius = 6371008.8;
const double radians = M_PI / 180;

} // namespace

double TrackFigures::distance(double lon1, double lat1, double lon2, double lat2)
{
    const double dLat = (lat2 - lat1) * radians, dLon = (lon2 - lon1) * radians;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1 * radians) * std::cos(lat2 * radians) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * earthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

void TrackFigures::Climb::feed(double e, double threshold)
{
    if (!started) {
        ref = e;
        started = true;
    } else if (e > ref && (direction > 0 || e - ref >= threshold)) {
        ascent += e - ref;
        ref = e;
        direction = 1;
    } else if (e < ref && (direction < 0 || ref - e >= threshold)) {
        descent += ref - e;
        ref = e;
        direction = -1;
    }
}

void TrackFigures::feedElevation(double e)
{
    // The point before the newest is now between two: its smoothed value is known.
    if (segmentElevations >= 2)
        climb.feed(0.3 * before + 0.4 * latest + 0.3 * e, threshold);
    else if (segmentElevations == 0)
        climb.feed(e, threshold);
    before = latest;
    latest = e;
    ++segmentElevations;
}

void TrackFigures::add(const TrackPoint& p, bool newSegment)
{
    if (newSegment && segmentElevations >= 2)
        climb.feed(latest, threshold);
    if (newSegment)
        segmentElevations = 0;
    double step = 0;
    if (haveLast && !newSegment) {
        const double dLat = p.lat - last.lat, dLon = p.lon - last.lon;
        if (std::fabs(dLat) < 0.05 && std::fabs(dLon) < 0.05) {
            // Short hops (all of a recording's): flat, with a cosine kept
            // for a hundredth of a degree of latitude.
            const double mid = (p.lat + last.lat) / 2;
            if (std::fabs(mid - cosAt) > 0.01) {
                cosAt = mid;
                cosLat = std::cos(mid * radians);
            }
            step = earthRadius * radians * std::sqrt(dLat * dLat + dLon * cosLat * dLon * cosLat);
        } else {
            step = distance(last.lon, last.lat, p.lon, p.lat);
        }
        s.distance += step;
        const double dt = p.time - last.time;
        if (dt > 0 && step / dt > stoppedSpeed) {
            s.moving = (s.moving == s.moving ? s.moving : 0) + dt;
            movedDistance += step;
        }
    }
    if (p.hasTime()) {
        if (firstTime != firstTime)
            firstTime = p.time;
        lastTime = std::max(p.time, lastTime == lastTime ? lastTime : p.time);
        if (spanTime != spanTime || newSegment) {
            spanTime = p.time;
            spanDistance = s.distance;
        } else if (p.time - spanTime >= speedSpan) {
            const double v = (s.distance - spanDistance) / (p.time - spanTime);
            s.maxSpeed = s.maxSpeed == s.maxSpeed ? std::max(s.maxSpeed, v) : v;
            spanTime = p.time;
            spanDistance = s.distance;
        }
    }
    if (p.hasElevation()) {
        feedElevation(p.elevation);
        s.lowest = s.lowest == s.lowest ? std::min(s.lowest, p.elevation) : p.elevation;
        s.highest = s.highest == s.highest ? std::max(s.highest, p.elevation) : p.elevation;
    }
    ++s.points;
    distances.push_back(s.distance);
    heights.push_back(static_cast<float>(p.elevation));
    last = p;
    haveLast = true;
}

void TrackFigures::addLine(const std::vector<TrackPoint>& points)
{
    for (std::size_t i = 0; i < points.size(); ++i)
        add(points[i], i == 0);
}

void TrackFigures::addAll(const GpxData& data, const GpxTrack& track)
{
    for (std::size_t line = track.firstLine; line < track.endLine; ++line)
        for (std::size_t i = 0; i < data.lines[line].size(); ++i)
            add(data.point(line, i), i == 0);
}

TrackSummary TrackFigures::summary() const
{
    TrackSummary out = s;
    if (firstTime == firstTime) {
        out.duration = lastTime - firstTime;
        if (out.moving != out.moving)
            out.moving = 0;
        out.averageSpeed = out.moving > 0 ? movedDistance / out.moving : 0;
    }
    if (segmentElevations > 0 || climb.started) {
        Climb c = climb;
        if (segmentElevations >= 2)
            c.feed(latest, threshold);
        out.ascent = c.ascent;
        out.descent = c.descent;
    }
    return out;
}
