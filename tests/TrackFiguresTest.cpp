// A walk's figures: distances, times and climbs on tracks whose answers
// are known, and against gpxpy (Debian's python3-gpxpy) on a long hike.
#include "ElevationProfile.h"
#include "TestSupport.h"
#include "TrackFigures.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

// Points due north from 45° N, `metres` apart, one every `seconds`.
std::vector<TrackPoint> northwards(int count, double metres, double seconds, const std::function<double(int)>& ele)
{
    std::vector<TrackPoint> out;
    for (int i = 0; i < count; ++i) {
        TrackPoint p;
        p.lon = 7;
        p.lat = 45 + i * metres / (6371008.8 * M_PI / 180);
        p.time = 1.7e9 + i * seconds;
        p.elevation = ele(i);
        out.push_back(p);
    }
    return out;
}

TrackSummary figuresOf(const std::vector<TrackPoint>& points, double hysteresis = TrackFigures::hysteresis)
{
    TrackFigures f(hysteresis);
    for (std::size_t i = 0; i < points.size(); ++i)
        f.add(points[i], i == 0);
    return f.summary();
}

} // namespace

TEST(Gpx, FiguresKeepElevationsTimesAndTracks)
{
    const std::string text = R"(<?xml version="1.0"?>
<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><trk><name>Up</name>
<trkseg><trkpt lat="45" lon="7"><ele>1200.5</ele><time>2024-05-01T10:00:00Z</time></trkpt>
<trkpt lat="45.001" lon="7"><ele>99999</ele><time>2024-05-01T12:00:30.5+02:00</time></trkpt></trkseg>
<trkseg/><trkseg><trkpt lat="45.002" lon="7"/></trkseg></trk>
<rte><name>Plan</name><rtept lat="1" lon="2"><ele>3</ele></rtept></rte></gpx>)";
    GpxData gpx;
    std::string problem;
    ASSERT_TRUE(Gpx::parse(text, &gpx, &problem, nullptr, Gpx::Keep::figures)) << problem;
    ASSERT_EQ(gpx.tracks.size(), 2u);
    EXPECT_EQ(gpx.tracks[0].name, "Up");
    EXPECT_EQ(gpx.tracks[0].endLine - gpx.tracks[0].firstLine, 2u); // the empty segment dropped
    const TrackPoint a = gpx.point(0, 0), b = gpx.point(0, 1);
    EXPECT_EQ(a.elevation, 1200.5);
    EXPECT_FALSE(b.hasElevation()); // no place is 99 999 m high
    EXPECT_EQ(b.time - a.time, 30.5);
    EXPECT_FALSE(gpx.point(1, 0).hasTime());
    EXPECT_EQ(gpx.tracks[1].name, "Plan");
    EXPECT_EQ(gpx.point(gpx.tracks[1].firstLine, 0).elevation, 3);
    // Read for drawing, the same lines without what only figures need.
    GpxData lines;
    ASSERT_TRUE(Gpx::parse(text, &lines, &problem));
    EXPECT_EQ(lines.points(), gpx.points());
    EXPECT_TRUE(lines.elevations.empty() && lines.times.empty());
    double t;
    for (const char* bad : {"", "yesterday", "2024-13-01T00:00:00Z", "2024-05-01T10:00:00Q", "1969-12-31T23:59:59Z"})
        EXPECT_FALSE(Gpx::parseTime(bad, &t)) << bad;
    // Nested where no point is: a detail has no point to go to.
    GpxData odd;
    Gpx::parse("<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"1\"><trkseg/><ele>5</ele></trkpt>", &odd, &problem,
               nullptr, Gpx::Keep::figures);
    EXPECT_EQ(odd.points(), 1u);
    EXPECT_FALSE(odd.point(0, 0).hasElevation());
}

TEST(TrackFigures, DistanceTimesAndSpeeds)
{
    // 100 m every 60 s, then standing for ten minutes, then on.
    std::vector<TrackPoint> pts = northwards(11, 100, 60, [](int) { return NAN; });
    for (int i = 0; i < 10; ++i) {
        TrackPoint p = pts.back();
        p.time += 60;
        pts.push_back(p);
    }
    TrackPoint last = pts.back();
    last.lat += 200 / (6371008.8 * M_PI / 180);
    last.time += 60;
    pts.push_back(last);
    const TrackSummary s = figuresOf(pts);
    EXPECT_EQ(s.points, 22u);
    EXPECT_NEAR(s.distance, 1200, 0.01);
    EXPECT_EQ(s.duration, 21 * 60);
    EXPECT_EQ(s.moving, 11 * 60);
    EXPECT_NEAR(s.averageSpeed, 1200.0 / 660, 1e-6);
    EXPECT_NEAR(s.maxSpeed, 200.0 / 60, 1e-6);
    EXPECT_TRUE(std::isnan(s.ascent) && std::isnan(s.lowest));
    // Long hops are measured along the great circle: a quarter meridian.
    TrackFigures f;
    f.add(TrackPoint{0, 0}, true);
    f.add(TrackPoint{0, 90}, false);
    EXPECT_NEAR(f.summary().distance, 6371008.8 * M_PI / 2, 1);
    EXPECT_TRUE(std::isnan(f.summary().duration));
}

TEST(TrackFigures, ClimbsCountOnceAndNoiseAddsNothing)
{
    // Up 100 m in 1 m steps, and down again.
    const auto hill = northwards(201, 10, 5, [](int i) { return 500.0 + (i <= 100 ? i : 200 - i); });
    TrackSummary s = figuresOf(hill);
    EXPECT_NEAR(s.ascent, 99.4, 1e-9); // the summit smoothed by its neighbours
    EXPECT_NEAR(s.descent, 99.4, 1e-9);
    EXPECT_EQ(s.lowest, 500);
    EXPECT_EQ(s.highest, 600);
    // A level path with a metre and a half of noise either way: gpxpy's smoothing alone
    // climbs hundreds of metres, the hysteresis none.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> noise(-1.5, 1.5);
    const auto level = northwards(2000, 3, 1, [&](int) { return 250 + noise(random); });
    EXPECT_GT(figuresOf(level, 0).ascent, 200);
    s = figuresOf(level);
    EXPECT_EQ(s.ascent, 0);
    // A growing recording: the figures after each point are those of the
    // points so far.
    TrackFigures growing;
    for (std::size_t i = 0; i < hill.size(); ++i) {
        growing.add(hill[i], i == 0);
        if (i % 37 == 0) {
            EXPECT_EQ(growing.summary().ascent,
                      figuresOf(std::vector<TrackPoint>(hill.begin(), hill.begin() + static_cast<long>(i) + 1)).ascent);
        }
    }
}

TEST(TrackFigures, AgreeWithGpxpyOnAHike)
{
    if (system("/usr/bin/python3 -c 'import gpxpy' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-gpxpy is not installed";
    TempDir dir;
    // Three hours over two passes: smooth ground, GPS scatter of a few
    // metres sideways and half a metre in height, a pause for lunch.
    std::mt19937 random(11);
    std::normal_distribution<double> side(0, 2e-5), vertical(0, 0.5);
    std::ofstream gpx("hike.gpx");
    gpx << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
           "<trk><name>Two passes</name><trkseg>\n";
    double lat = 46.5, lon = 8.0;
    for (int i = 0; i < 3600 * 3 / 3; ++i) {
        const double t = i * 3.0;
        const bool lunch = t > 5000 && t < 6200;
        if (!lunch) {
            lat += 2.5e-5 * std::cos(i / 400.0);
            lon += 3e-5 * std::sin(i / 700.0 + 1);
        }
        const double ground = 1400 + 450 * std::sin(i / 600.0) + 120 * std::sin(i / 97.0) + 15 * std::sin(i / 13.0);
        char line[200];
        std::snprintf(line, sizeof line,
                      "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>2024-07-02T%02d:%02d:%02dZ</time></trkpt>\n",
                      lat + side(random), lon + side(random), ground + vertical(random), 8 + static_cast<int>(t) / 3600,
                      static_cast<int>(t) / 60 % 60, static_cast<int>(t) % 60);
        gpx << line;
    }
    gpx << "</trkseg></trk></gpx>\n";
    gpx.close();
    const std::string script =
        "import gpxpy\n"
        "g = gpxpy.parse(open('hike.gpx'))\n"
        "t = g.tracks[0]\n"
        "up, down = t.get_uphill_downhill()\n"
        "m = t.get_moving_data()\n"
        "print(t.length_2d(), up, down, m.moving_time)\n";
    std::ofstream("figures.py") << script;
    FILE* pipe = popen("/usr/bin/python3 figures.py", "r");
    ASSERT_TRUE(pipe);
    double length = 0, up = 0, down = 0, moving = 0;
    ASSERT_EQ(std::fscanf(pipe, "%lf %lf %lf %lf", &length, &up, &down, &moving), 4);
    pclose(pipe);
    GpxData read;
    std::string problem;
    ASSERT_TRUE(Gpx::read("hike.gpx", &read, &problem, nullptr, Gpx::Keep::figures)) << problem;
    TrackFigures figures;
    figures.addAll(read, read.tracks[0]);
    const TrackSummary s = figures.summary();
    EXPECT_NEAR(s.distance, length, length * 0.005);
    EXPECT_NEAR(s.ascent, up, up * 0.02);
    EXPECT_NEAR(s.descent, down, down * 0.02);
    std::cout << "distance " << s.distance << " (gpxpy " << length << "), ascent " << s.ascent << " (" << up
              << "), descent " << s.descent << " (" << down << "), moving " << s.moving << " (" << moving << ")\n";
}

TEST(ElevationProfile, ColumnsAlongTheDistanceWithARoundScale)
{
    // Up 100 m and down again over 2 km, the last quarter without elevations.
    auto hill = northwards(201, 10, 5, [](int i) { return i > 150 ? NAN : 500.0 + (i <= 100 ? i : 200 - i); });
    TrackFigures figures;
    for (std::size_t i = 0; i < hill.size(); ++i)
        figures.add(hill[i], i == 0);
    const ElevationProfile p = ElevationProfile::build(figures.along(), figures.elevations(), 100);
    ASSERT_EQ(p.columns.size(), 100u);
    EXPECT_NEAR(p.length, 2000, 0.01);
    EXPECT_EQ(p.lowest, 500);
    EXPECT_EQ(p.highest, 600);
    EXPECT_EQ(p.columns[0].low, 500);
    EXPECT_EQ(p.columns[50].high, 600);
    EXPECT_NEAR(static_cast<double>(p.columns[50].point), 101, 1);
    EXPECT_TRUE(std::isnan(p.columns[90].low)) << "no elevations there";
    EXPECT_NEAR(static_cast<double>(p.columns[90].point), 181, 1) << "the cursor still finds its point";
    EXPECT_EQ(p.step(4), 50);
    EXPECT_EQ(p.step(10), 10);
    EXPECT_TRUE(ElevationProfile::build({}, {}, 100).columns.empty());
}
