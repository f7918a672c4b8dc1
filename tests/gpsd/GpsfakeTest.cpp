// The feed against a real gpsd: gpsfake starts one on a free loopback port
// and replays an NMEA log the test writes, through a pseudo-terminal, as a
// receiver would send it.
#include "GpsFeed.h"
#include "GpsWorker.h"
#include "Gpx.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// "$BODY*CS\r\n" with its checksum.
std::string sentence(const std::string& body)
{
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

std::string degrees(double value, int width, char positive, char negative)
{
    const double whole = std::floor(std::fabs(value));
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f,%c", width, static_cast<int>(whole), (std::fabs(value) - whole) * 60,
                  value >= 0 ? positive : negative);
    return text;
}

// One receiver cycle: RMC and GGA `second`s after 18:10:00 on 2026-12-07
// (a fix), or the same saying there is none.
std::string cycle(int second, double lat, double lon, bool fixed = true)
{
    const int clock = 18 * 3600 + 10 * 60 + second;
    char time[32];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", clock / 3600 % 24, clock / 60 % 60, clock % 60);
    const std::string at = degrees(lat, 2, 'N', 'S') + "," + degrees(lon, 3, 'E', 'W');
    if (!fixed)
        return sentence(std::string("GPRMC,") + time + ",V,,,,,,,071226,,,N") +
               sentence(std::string("GPGGA,") + time + ",,,,,0,00,99.9,,M,,M,,");
    return sentence(std::string("GPRMC,") + time + ",A," + at + ",2.5,45.0,071226,,,A") +
           sentence(std::string("GPGGA,") + time + "," + at + ",1,08,0.9,245.3,M,44.8,M,,");
}

// gpsfake replaying `log` once, in a process group of its own (it and its
// gpsd end together), its gpsd's control socket in the log's folder.
class Gpsfake {
public:
    explicit Gpsfake(const std::string& log) : port(freeLoopbackPort())
    {
        std::vector<std::string> environment = {"TMPDIR=" + log.substr(0, log.rfind('/'))};
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "TMPDIR=", 7) != 0)
                environment.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(&entry[0]);
        envp.push_back(nullptr);
        const std::string output = log + ".out";
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        std::vector<std::string> words = {"gpsfake", "-1", "-q", "-c", "0.01", "-P", port, log};
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(&word[0]);
        argv.push_back(nullptr);
        if (posix_spawnp(&pid, "gpsfake", &files, &attributes, argv.data(), envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
    }
    // Killed outright: gpsfake's own SIGTERM handler can spin for ever
    // trying to reap a gpsd that the same signal ended. gpsd leaves its
    // shared-memory export behind (gpsfake keys it by the port): removed.
    ~Gpsfake()
    {
        if (pid > 0) {
            kill(-pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        const int shared = shmget(static_cast<key_t>(0x47700000 + std::stoi(port)), 0, 0);
        if (shared >= 0)
            shmctl(shared, IPC_RMID, nullptr);
    }

    pid_t pid = -1;
    const std::string port;
};

// The last fix of every log, far from the others: the replay is over when
// it is recorded.
const double endLat = -33.9, endLon = 18.4;

// A feed recording into `dir` from gpsfake replaying `nmea`; steps until
// the last fix is recorded, ends the recording and reads it back.
class Replay {
public:
    void run(const std::string& nmea, const TempDir& dir)
    {
        // gpsfake starts the replay as soon as gpsd listens, and gpsd takes
        // the first sentences to recognise the receiver: a lead of cycles
        // without a fix (some reach the feed before the first fix does, or
        // the test says so); then the log, the last fix and one cycle more.
        std::string log;
        for (int i = 0; i < leadCycles; ++i)
            log += cycle(i - leadCycles, 0, 0, false);
        writeFile(dir.path("log.nmea"), log + nmea + cycle(3000, endLat, endLon) + cycle(3001, 0, 0, false));
        Gpsfake gpsfake(dir.path("log.nmea"));
        EXPECT_GT(gpsfake.pid, 0) << "gpsfake cannot start";
        GpsAddress address;
        address.host = "127.0.0.1";
        address.port = gpsfake.port;
        FakeClock clock;
        GpsFeed feed(address, dir.dir, &clock);
        feed.setRecording(true);
        // gpsd takes a few seconds to listen: the feed tries again at once
        // on the fake clock.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::vector<RecordedPoint> points;
        while (std::chrono::steady_clock::now() < end &&
               (recorded.empty() || std::fabs(recorded.back().lat - endLat) > 1e-6)) {
            clock.advance(GpsWorker::retryMs);
            feed.step(50);
            status = feed.status(&points);
            if (recorded.empty() && points.empty())
                leadReports = status.reports;
            recorded.insert(recorded.end(), points.begin(), points.end());
        }
        // What a failure says: the link, the reports taken, gpsfake's words.
        const std::string state = "link " + std::to_string(status.link) + ", " + std::to_string(status.reports) +
                                  " reports; gpsfake: " + readFile(dir.path("log.nmea.out"));
        EXPECT_GT(leadReports, 0u) << "the feed connected after the log had begun; " << state;
        ASSERT_FALSE(recorded.empty()) << state;
        ASSERT_NEAR(endLat, recorded.back().lat, 1e-6) << state;
        recorded.pop_back();
        feed.setRecording(false);
        feed.step(0);
        std::string problem;
        EXPECT_TRUE(Gpx::read(status.recordingPath, &gpx, &problem)) << problem;
        ASSERT_FALSE(gpx.lines.empty());
        EXPECT_NEAR(endLat, gpx.lines.back().back().lat, 1e-6);
        gpx.lines.back().pop_back();
        if (gpx.lines.back().empty())
            gpx.lines.pop_back();
    }

    static const int leadCycles = 150;
    GpsStatus status;
    unsigned long leadReports = 0;
    std::vector<RecordedPoint> recorded;
    GpxData gpx;
};

} // namespace

TEST(GpsfakeTest, AWalkIsRecordedFixByFix)
{
    TempDir dir;
    std::string nmea;
    for (int i = 0; i < 12; ++i)
        nmea += cycle(i, 50.0871 + i * 0.0001, 14.4207 + i * 0.0001);
    Replay walk;
    walk.run(nmea, dir);
    ASSERT_EQ(1u, walk.gpx.lines.size());
    EXPECT_EQ(12u, walk.gpx.points());
    EXPECT_EQ(12u, walk.recorded.size());
    EXPECT_NEAR(50.0872, walk.gpx.lines[0][1].lat, 1e-6);
    EXPECT_NE(std::string::npos, readFile(walk.status.recordingPath).find("<time>2026-12-07T18:10:01Z</time>"));
    EXPECT_NE(std::string::npos, walk.status.recordingPath.find("recorded-20261207-1810"));
}

TEST(GpsfakeTest, ADriveWithGapsStartsSegmentsAndGarbageIsIgnored)
{
    TempDir dir;
    std::string nmea;
    int second = 0;
    const auto drive = [&](int cycles) {
        for (int i = 0; i < cycles; ++i, ++second)
            nmea += cycle(second, 49.5 + second * 0.001, -0.5 + second * 0.002);
    };
    drive(5);
    // A tunnel: the receiver says it has no fix.
    for (int i = 0; i < 3; ++i, ++second)
        nmea += cycle(second, 0, 0, false);
    drive(5);
    // Garbage: bad checksums, cut sentences, binary noise, an endless line.
    nmea += "$GPGGA,181020.00,4930.0000,N,00030.0000,W,1,08,0.9,1.0,M,,M,,*00\r\n";
    nmea += "$GPRMC,181021.00,A,49\r\n";
    nmea += std::string("\x01\xff\xfe$$$**\r\n", 10) + std::string(3000, 'Z') + "\r\n";
    nmea += "$GPRMC,181022.00,A,9999.9999,N,99999.9999,E,1,1,071226,,,A*00\r\n";
    // The receiver is silent a minute.
    second += 60;
    drive(5);
    Replay replay;
    replay.run(nmea, dir);
    ASSERT_EQ(3u, replay.gpx.lines.size());
    EXPECT_EQ(5u, replay.gpx.lines[0].size());
    EXPECT_EQ(5u, replay.gpx.lines[1].size());
    EXPECT_EQ(5u, replay.gpx.lines[2].size());
    for (const auto& line : replay.gpx.lines)
        for (const LonLat& point : line)
            EXPECT_TRUE(point.lat > 49.4 && point.lat < 49.7 && point.lon > -0.6 && point.lon < 0) << point.lat;
    std::size_t starts = 0;
    for (const RecordedPoint& point : replay.recorded)
        starts += point.startsSegment;
    EXPECT_EQ(3u, starts);
}
