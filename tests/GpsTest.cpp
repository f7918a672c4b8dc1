#include "Follow.h"
#include "GpsAddress.h"
#include "GpsdReport.h"
#include "Gpx.h"
#include "MarkerPlace.h"
#include "RecordingText.h"
#include "TestSupport.h"
#include "TrackRecorder.h"

#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

Fix at(double lat, double lon, double time)
{
    Fix fix;
    fix.mode = FixMode::threeD;
    fix.lat = lat;
    fix.lon = lon;
    fix.ele = 250.5;
    fix.time = time;
    return fix;
}

const double start = 1796667039; // 2026-12-07 18:10:39 UTC

// The one recording in the directory, parsed; fails the test when it does
// not parse whole.
GpxData recordingIn(const std::string& path)
{
    GpxData data;
    std::string problem;
    EXPECT_TRUE(Gpx::read(path, &data, &problem)) << problem;
    return data;
}

} // namespace

TEST(GpsdReportTest, TakesPositionsSatellitesAndRefusesImpossibleValues)
{
    Fix fix;
    EXPECT_EQ(GpsdReport::position,
              GpsdReport::foldMessage("{\"class\":\"TPV\",\"mode\":3,\"time\":\"2026-12-07T18:10:39.250Z\",\"lat\":50.1,"
                                      "\"lon\":14.2,\"altHAE\":300.5,\"altMSL\":255.0,\"eph\":12.5,\"track\":-90.0,\"speed\":3.2}",
                                      &fix));
    EXPECT_TRUE(fix.hasPosition());
    EXPECT_DOUBLE_EQ(50.1, fix.lat);
    EXPECT_DOUBLE_EQ(255.0, fix.ele);
    EXPECT_DOUBLE_EQ(start + 0.25, fix.time);
    EXPECT_DOUBLE_EQ(12.5, fix.accuracy);
    EXPECT_DOUBLE_EQ(270, fix.course);
    EXPECT_EQ(GpsdReport::sky,
              GpsdReport::foldMessage("{\"class\":\"SKY\",\"satellites\":[{\"PRN\":1,\"used\":true},{\"PRN\":2}]}", &fix));
    EXPECT_EQ(1, fix.satellites);
    EXPECT_TRUE(fix.hasPosition()) << "a sky report leaves the position";

    for (const char* bad : {"{\"class\":\"TPV\",\"mode\":2,\"lat\":91,\"lon\":14}",
                            "{\"class\":\"TPV\",\"mode\":2,\"lat\":50,\"lon\":-180.5}",
                            "{\"class\":\"TPV\",\"mode\":1,\"lat\":50,\"lon\":14}"}) {
        EXPECT_EQ(GpsdReport::position, GpsdReport::foldMessage(bad, &fix)) << bad;
        EXPECT_FALSE(fix.hasPosition()) << bad;
        EXPECT_TRUE(std::isnan(fix.lat) && std::isnan(fix.lon)) << bad;
    }
    EXPECT_EQ(GpsdReport::position,
              GpsdReport::foldMessage("{\"class\":\"TPV\",\"mode\":2,\"lat\":-90,\"lon\":180,\"eph\":-1,\"speed\":1e300}", &fix));
    EXPECT_TRUE(fix.hasPosition()) << "the pole and the date line are places";
    EXPECT_TRUE(std::isnan(fix.accuracy) && std::isnan(fix.speed) && std::isnan(fix.time) && std::isnan(fix.ele));
    // Lines that are not whole JSON (or hold a number no double holds) never
    // reach libgps, whose parser loops on the last one, and leave the fix as
    // it was.
    for (const char* bad : {"{\"class\":\"TPV\",\"mode\":2,\"lat\":1e999,\"lon\":14}",
                            "{\"class\":\"TPV\",\"mode\":3,\"lat\":5", "$GPGGA,garbage*00",
                            "{\"class\":\"SKY\"CES\",\"devices\":[{\"class\":\"DEVICE\"}]}{\"class\":\"TPV\","}) {
        EXPECT_EQ(GpsdReport::other, GpsdReport::foldMessage(bad, &fix)) << bad;
        EXPECT_TRUE(fix.hasPosition()) << bad;
    }
}

TEST(GpsAddressTest, ReadsHostAndPortOrOff)
{
    GpsAddress address;
    ASSERT_TRUE(address.parse("gps.local:3000"));
    EXPECT_EQ("gps.local", address.host);
    EXPECT_EQ("3000", address.port);
    ASSERT_TRUE(address.parse("[::1]:2948"));
    EXPECT_EQ("::1", address.host);
    ASSERT_TRUE(address.parse("127.0.0.1"));
    EXPECT_EQ("2947", address.port);
    EXPECT_FALSE(address.off);
    for (const char* bad : {"", ":2947", "host:", "host:0", "host:65536", "host:12ab", "a b:1", "[::1", "[::1]x", "-x:1"})
        EXPECT_FALSE(address.parse(bad)) << bad;
    EXPECT_EQ("127.0.0.1", address.host) << "a refused text leaves the address";
    ASSERT_TRUE(address.parse("off"));
    EXPECT_TRUE(address.off);
}

TEST(RecordingTextTest, NamesAndTimesInUtc)
{
    EXPECT_EQ("recorded-20261207-181039.gpx", RecordingText::fileName(start));
    EXPECT_EQ("2026-12-07T18:10:39Z", RecordingText::timeText(start));
    EXPECT_EQ("2026-12-07T18:10:40Z", RecordingText::timeText(start + 0.9996));
    EXPECT_EQ("2026-12-07T18:10:39.250Z", RecordingText::timeText(start + 0.25));
    EXPECT_EQ("", RecordingText::timeText(NAN));
    EXPECT_EQ("", RecordingText::timeText(1e300));
    EXPECT_EQ("<trkpt lat=\"-90.0000000\" lon=\"180.0000000\"><ele>250.5</ele><time>2026-12-07T18:10:39Z</time></trkpt>\n",
              RecordingText::point(at(-90, 180, start)));
}

TEST(FollowTest, PanStopsResumeCentresZoomKeeps)
{
    Follow follow;
    Fix lost;
    lost.mode = FixMode::none;
    const Fix here = at(50, 14, start);
    EXPECT_TRUE(follow.report(here));
    EXPECT_FALSE(follow.report(lost));
    EXPECT_TRUE(follow.zoomed(here));
    follow.userMoved();
    EXPECT_FALSE(follow.report(here));
    EXPECT_FALSE(follow.zoomed(here));
    EXPECT_FALSE(follow.resume(lost)) << "nothing to centre on yet";
    EXPECT_TRUE(follow.following);
    EXPECT_TRUE(follow.report(here)) << "the next fix is followed";
}

TEST(MarkerPlaceTest, OffScreenFixesArePulledToTheEdgeTowardsThem)
{
    MarkerPlace inside = MarkerPlace::of(100, 50, 320, 240, 8);
    EXPECT_FALSE(inside.atEdge);
    EXPECT_DOUBLE_EQ(100, inside.x);
    MarkerPlace east = MarkerPlace::of(1e9, 120, 320, 240, 8);
    EXPECT_TRUE(east.atEdge);
    EXPECT_DOUBLE_EQ(312, east.x);
    EXPECT_DOUBLE_EQ(120, east.y);
    MarkerPlace corner = MarkerPlace::of(160 - 1000, 120 - 1000, 320, 240, 8);
    EXPECT_DOUBLE_EQ(8, corner.y);
    EXPECT_DOUBLE_EQ(48, corner.x) << "along the line from the centre";
    EXPECT_TRUE(MarkerPlace::of(NAN, 0, 320, 240, 8).atEdge);
}

TEST(TrackRecorderTest, OnePointPerFixSegmentsAfterGapsAndBackwardTime)
{
    TempDir dir;
    TrackRecorder recorder(dir.dir);
    Uint32 now = 0;
    double t = start;
    EXPECT_EQ(TrackRecorder::added, recorder.add(at(50, 14, t), now));
    EXPECT_EQ(dir.path("recorded-20261207-181039.gpx"), recorder.path);
    EXPECT_EQ(1u, recordingIn(recorder.path).points()) << "the file is whole from its first point";
    EXPECT_EQ(TrackRecorder::added, recorder.add(at(50.001, 14, t += 1), now += 1000));
    EXPECT_EQ(TrackRecorder::dropped, recorder.add(at(50.001, 14, t), now)) << "the same fix again";
    EXPECT_EQ(TrackRecorder::addedInNewSegment, recorder.add(at(50.002, 14, t += 60), now += 1000));
    EXPECT_EQ(TrackRecorder::addedInNewSegment, recorder.add(at(50.003, 14, t - 5), now));
    recorder.lost();
    EXPECT_EQ(TrackRecorder::addedInNewSegment, recorder.add(at(50.004, 14, t + 1), now));
    Fix bad = at(NAN, 14, t + 2);
    EXPECT_EQ(TrackRecorder::dropped, recorder.add(bad, now));
    EXPECT_EQ(1u, recordingIn(recorder.path).points()) << "held until a flush is due";
    EXPECT_EQ(TrackRecorder::flushMs - 1000, static_cast<Uint32>(recorder.msUntilFlush(now)));
    recorder.flushIfDue(now += TrackRecorder::flushMs - 1000);
    const GpxData data = recordingIn(recorder.path);
    ASSERT_EQ(4u, data.lines.size());
    EXPECT_EQ(2u, data.lines[0].size());
    EXPECT_DOUBLE_EQ(50.004, data.lines[3][0].lat);
    EXPECT_EQ(-1, recorder.msUntilFlush(now));
    recorder.stop();

    // A recording starting in the same second does not replace it.
    recorder.add(at(1, 2, start), now);
    EXPECT_EQ(dir.path("recorded-20261207-181039-2.gpx"), recorder.path);
    recorder.stop();
    EXPECT_EQ(4u, recordingIn(dir.path("recorded-20261207-181039.gpx")).lines.size());
}

// A receiver or gpsd flooding fixes: at most five points a second are
// kept, by the fixes' times and by the clock when they have none; a run
// of one point leaves no file.
TEST(TrackRecorderTest, AThousandFixesASecondAreKeptFiveASecond)
{
    TempDir dir;
    TrackRecorder recorder(dir.dir);
    for (int i = 0; i < 5000; ++i)
        ASSERT_NE(TrackRecorder::failed, recorder.add(at(-89.9 + i * 0.01, -180 + i * 0.07, start + i / 1000.0), i));
    recorder.stop();
    GpxData data = recordingIn(recorder.path);
    ASSERT_EQ(1u, data.lines.size());
    EXPECT_NEAR(25.0, static_cast<double>(data.lines[0].size()), 1.0);

    for (int i = 0; i < 5000; ++i)
        recorder.add(at(10 + i * 0.001, 20, NAN), static_cast<Uint32>(10000 + i));
    recorder.stop();
    data = recordingIn(recorder.path);
    EXPECT_LE(data.points(), TrackRecorder::burst + 5 * TrackRecorder::maxPerSecond);
    EXPECT_GE(data.points(), 5 * TrackRecorder::maxPerSecond);

    recorder.add(at(1, 2, start + 100), 20000);
    const std::string single = recorder.path;
    EXPECT_TRUE(fileExists(single));
    recorder.stop();
    EXPECT_FALSE(fileExists(single)) << "one point is no track";
}

// A recording cut at any byte (a kill or a power cut in the middle of a
// write) is whole again after repairAll(), with every point whose line was
// written whole.
TEST(TrackRecorderTest, ACutAnywhereIsRepairedToItsLastWholePoint)
{
    TempDir dir;
    std::string full;
    {
        TrackRecorder recorder(dir.dir);
        for (int i = 0; i < 4; ++i)
            recorder.add(at(10 + i, 20, start + (i == 2 ? 100 : i)), 0);
        recorder.stop();
        full = readFile(recorder.path);
    }
    const std::string name = "recorded-20261207-181039.gpx";
    const std::size_t firstEnd = RecordingText::header().size() + RecordingText::point(at(10, 20, start)).size();
    for (std::size_t cut = firstEnd; cut <= full.size(); ++cut) {
        // Every byte near a line's end, and a sample of the rest (each cut
        // costs a synced rewrite).
        const std::size_t eol = full.find('\n', cut > 2 ? cut - 2 : 0);
        if (cut % 13 != 0 && cut != full.size() && (eol == std::string::npos || eol > cut + 2))
            continue;
        writeFile(dir.path(name), full.substr(0, cut));
        const std::vector<std::string> repaired = TrackRecorder::repairAll(dir.dir);
        EXPECT_EQ(cut == full.size() ? 0u : 1u, repaired.size()) << cut;
        const GpxData data = recordingIn(dir.path(name));
        std::size_t whole = 0;
        for (std::size_t at = full.find("</trkpt>\n"); at != std::string::npos && at + 9 <= cut;
             at = full.find("</trkpt>\n", at + 1))
            ++whole;
        EXPECT_EQ(whole, data.points()) << cut;
    }
    // Blocks the disk never got read as zeros: what follows them is lost.
    std::string holed = full;
    holed.replace(firstEnd + 5, 30, 30, '\0');
    writeFile(dir.path(name), holed);
    EXPECT_EQ(1u, TrackRecorder::repairAll(dir.dir).size());
    EXPECT_EQ(1u, recordingIn(dir.path(name)).points());
    // Other files are never touched.
    writeFile(dir.path("recorded-mine.gpx"), "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"></trkpt>");
    EXPECT_TRUE(TrackRecorder::repairAll(dir.dir).empty());
}

TEST(TrackRecorderTest, AFullDiskOrAnUnwritableFolderEndsTheRecordingWithWhatIsOnDisk)
{
    TrackRecorder nowhere("/proc");
    EXPECT_EQ(TrackRecorder::failed, nowhere.add(at(50, 14, start), 0));
    EXPECT_FALSE(nowhere.problem.empty());
    EXPECT_EQ(TrackRecorder::failed, nowhere.add(at(50, 14, start + 1), 0));

    // A file size limit makes writes past it fail as on a full disk.
    TempDir dir;
    TrackRecorder recorder(dir.dir);
    ASSERT_EQ(TrackRecorder::added, recorder.add(at(50, 14, start), 0));
    struct stat info;
    ASSERT_EQ(0, stat(recorder.path.c_str(), &info));
    rlimit before;
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = static_cast<rlim_t>(info.st_size) + 300;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    TrackRecorder::Outcome last = TrackRecorder::added;
    for (int i = 1; i < 1000 && last != TrackRecorder::failed; ++i)
        last = recorder.add(at(50, 14 + i * 0.001, start + i), 0);
    const bool flushed = recorder.flush();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(last == TrackRecorder::failed || !flushed);
    EXPECT_FALSE(recorder.problem.empty());
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(1u, recordingIn(recorder.path).points()) << "closed after the failed write";
}
