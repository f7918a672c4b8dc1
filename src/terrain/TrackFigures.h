#ifndef TESSEL_TRACKFIGURES_H
#define TESSEL_TRACKFIGURES_H

#include "Gpx.h"

#include <cstddef>
#include <vector>

// What a walk's figures say; NaN where the track cannot tell (no times, no
// elevations).
struct TrackSummary {
    std::size_t points = 0;
    double distance = 0;          // metres, along each segment (gaps between segments not counted)
    double duration = NAN;        // seconds from the first time to the last
    double moving = NAN;          // seconds spent faster than TrackFigures::stoppedSpeed
    double averageSpeed = NAN;    // m/s: the distance moved over the moving time
    double maxSpeed = NAN;        // m/s over spans of at least TrackFigures::speedSpan seconds
    double ascent = NAN, descent = NAN; // metres
    double lowest = NAN, highest = NAN; // metres, as recorded
};

// The figures of a track, point by point, so a recording's grow as it
// does (each point costs the same, however long the track).
//
// Ascent and descent: each segment's elevations are first smoothed over
// three points (0.3, 0.4, 0.3; the ends as they are), the smoothing
// gpxpy's calculate_uphill_downhill uses, then climbed through a
// hysteresis of `hysteresis` metres: a change of direction counts only
// once the elevation has moved that far from the last turning point, so
// noise within a metre and a half either side of a level path adds nothing. Distances are
// great-circle distances on a sphere of 6 371 008.8 m, on the ground (2D);
// a step counts as moving when its ground speed is above `stoppedSpeed`.
class TrackFigures {
public:
    static constexpr double hysteresis = 3.0;        // metres
    static constexpr double stoppedSpeed = 1 / 3.6;  // m/s (1 km/h, as gpxpy)
    static constexpr double speedSpan = 5;           // seconds

    explicit TrackFigures(double climbHysteresis = hysteresis) : threshold(climbHysteresis) {}

    void add(const TrackPoint& p, bool newSegment);
    // A line's points, the first starting a segment.
    void addLine(const std::vector<TrackPoint>& points);
    // The lines of a track, read with Gpx::Keep::figures.
    void addAll(const GpxData& data, const GpxTrack& track);
    TrackSummary summary() const;

    // Per point: the distance along the track and the elevation (NaN when
    // the point has none): what the elevation profile draws.
    const std::vector<double>& along() const { return distances; }
    const std::vector<float>& elevations() const { return heights; }

    // Metres between two points.
    static double distance(double lon1, double lat1, double lon2, double lat2);

private:
    struct Climb {
        double ref = 0, ascent = 0, descent = 0;
        int direction = 0;
        bool started = false;
        void feed(double e, double threshold);
    };
    void feedElevation(double e);

    double threshold;
    TrackSummary s;
    bool haveLast = false;
    TrackPoint last;
    double cosLat = 1, cosAt = 1000; // the cosine of latitude cosAt, reused nearby
    double firstTime = NAN, lastTime = NAN, movedDistance = 0;
    double spanTime = NAN, spanDistance = 0; // where the current speed span began
    Climb climb;
    int segmentElevations = 0;
    double before = 0, latest = 0; // the segment's last two raw elevations
    std::vector<double> distances;
    std::vector<float> heights;
};

#endif
