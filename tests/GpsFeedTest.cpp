#include "GpsFeed.h"
#include "GpsdConnection.h"
#include "GpsWorker.h"
#include "Gpx.h"
#include "LoopbackGpsd.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <functional>
#include <thread>

namespace {

GpsAddress addressOf(const std::string& port)
{
    GpsAddress address;
    address.host = "127.0.0.1";
    address.port = port;
    return address;
}

std::string tpv(double lat, double lon, int second)
{
    return LoopbackGpsd::tpv(lat, lon, second);
}

// Steps the feed until `done` holds, for at most five seconds.
bool stepUntil(GpsFeed* feed, const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        feed->step(20);
    }
    return true;
}

} // namespace

TEST(GpsFeedTest, RetriesAnAbsentOrDyingGpsdOnlyEveryRetryInterval)
{
    FakeClock clock;
    TempDir dir;
    GpsFeed absent(addressOf(freeLoopbackPort()), dir.dir, &clock);
    absent.step(0);
    EXPECT_EQ(GpsStatus::waiting, absent.status(nullptr).link);

    LoopbackGpsd gpsd;
    GpsFeed feed(addressOf(gpsd.port), dir.dir, &clock);
    feed.step(0);
    EXPECT_EQ(GpsStatus::connected, feed.status(nullptr).link);
    ASSERT_TRUE(gpsd.accept());
    gpsd.hangUp();
    ASSERT_TRUE(stepUntil(&feed, [&] { return feed.status(nullptr).link == GpsStatus::waiting; }));
    clock.advance(GpsWorker::retryMs - 1);
    feed.step(0);
    EXPECT_FALSE(gpsd.accept()) << "too early to try again";
    clock.advance(1);
    feed.step(0);
    EXPECT_TRUE(gpsd.accept());
    EXPECT_EQ(GpsStatus::connected, feed.status(nullptr).link);
}

TEST(GpsFeedTest, FixesThroughGarbageAndAStreamCutMidLine)
{
    FakeClock clock;
    TempDir dir;
    LoopbackGpsd gpsd;
    GpsFeed feed(addressOf(gpsd.port), dir.dir, &clock);
    feed.setRecording(true);
    feed.step(0);
    ASSERT_TRUE(gpsd.accept());
    ASSERT_TRUE(gpsd.send("{\"class\":\"VERSION\",\"release\":\"3.22\"}\n" + tpv(50.1, 14.2, 0) + "$GPGGA,nonsense\n{{{{\n" +
              std::string(20000, 'x') + "\n{\"class\":\"SKY\",\"satellites\":[{\"PRN\":3,\"used\":true}]}\n" +
              "{\"class\":\"TPV\",\"mode\":3,\"lat\":NaN,\"lon\":1}\n" + tpv(50.2, 14.3, 1) + "{\"class\":\"TPV\",\"mo"));
    std::vector<RecordedPoint> points, more;
    GpsStatus status;
    ASSERT_TRUE(stepUntil(&feed, [&] {
        status = feed.status(&more);
        points.insert(points.end(), more.begin(), more.end());
        return points.size() >= 2;
    }));
    EXPECT_TRUE(status.recording);
    EXPECT_EQ(1, status.fix.satellites);
    EXPECT_DOUBLE_EQ(50.2, status.fix.lat);
    EXPECT_EQ(2u, status.reports) << "NaN is not JSON: that line is dropped";
    EXPECT_TRUE(points[0].startsSegment);
    EXPECT_DOUBLE_EQ(14.3, points[1].lon);

    // The connection ends in the middle of a line: the feed notices rather
    // than wait on it, and the recording reaches the disk.
    gpsd.hangUp();
    ASSERT_TRUE(stepUntil(&feed, [&] { return feed.status(nullptr).link == GpsStatus::waiting; }));
    status = feed.status(nullptr);
    EXPECT_FALSE(status.fix.hasPosition());
    GpxData data;
    std::string problem;
    EXPECT_TRUE(Gpx::read(status.recordingPath, &data, &problem)) << problem;
    EXPECT_EQ(2u, data.points());
}

TEST(GpsFeedTest, RecordingStopsByItselfWhenTheFolderCannotBeWritten)
{
    FakeClock clock;
    LoopbackGpsd gpsd;
    GpsFeed feed(addressOf(gpsd.port), "/proc", &clock);
    feed.setRecording(true);
    feed.step(0);
    ASSERT_TRUE(gpsd.accept());
    ASSERT_TRUE(gpsd.send(tpv(50.1, 14.2, 0)));
    GpsStatus status;
    ASSERT_TRUE(stepUntil(&feed, [&] { return !(status = feed.status(nullptr)).recordingProblem.empty(); }));
    EXPECT_FALSE(status.recording);
    EXPECT_TRUE(feed.status(nullptr).recordingProblem.empty()) << "told once";
    ASSERT_TRUE(gpsd.send(tpv(50.2, 14.2, 1)));
    ASSERT_TRUE(stepUntil(&feed, [&] { return feed.status(nullptr).fix.lat == 50.2; })) << "the fix goes on";
}

TEST(GpsFeedTest, ItsThreadRecordsAndClosesTheRecordingWhenStopped)
{
    LoopbackGpsd gpsd;
    TempDir dir;
    GpsStatus status;
    {
        GpsFeed feed(addressOf(gpsd.port), dir.dir, Clock::system());
        feed.setRecording(true);
        feed.start();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!gpsd.accept() && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        ASSERT_TRUE(gpsd.send(tpv(50.1, 14.2, 0) + tpv(50.2, 14.2, 1)));
        while ((status = feed.status(nullptr)).reports < 2 && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        EXPECT_EQ(2u, status.reports);
        EXPECT_TRUE(status.recording);
        // The thread waits on the socket; the destructor wakes it.
    }
    GpxData data;
    std::string problem;
    EXPECT_TRUE(Gpx::read(status.recordingPath, &data, &problem)) << problem;
    EXPECT_EQ(2u, data.points());
}

// A socket bound to a loopback port and connected to that same port is
// joined to itself (TCP's simultaneous open); one connected to a listener
// is not.
TEST(GpsdConnectionTest, ASocketJoinedToItselfIsTold)
{
    const auto bound = [](sockaddr_in* address) {
        const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        *address = sockaddr_in{};
        address->sin_family = AF_INET;
        address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof *address;
        EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(address), size), 0);
        getsockname(s, reinterpret_cast<sockaddr*>(address), &size);
        return s;
    };
    sockaddr_in own, served;
    const int self = bound(&own);
    ASSERT_EQ(connect(self, reinterpret_cast<sockaddr*>(&own), sizeof own), 0);
    EXPECT_TRUE(GpsdConnection::joinedToItself(self));
    const int listener = bound(&served);
    ASSERT_EQ(listen(listener, 1), 0);
    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&served), sizeof served), 0);
    EXPECT_FALSE(GpsdConnection::joinedToItself(client));
    EXPECT_FALSE(GpsdConnection::joinedToItself(listener));
    for (const int s : {self, listener, client})
        close(s);
}
