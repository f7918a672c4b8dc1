// For scripts/kill-record.sh. "record DIR RATE" records into DIR through
// the feed's own thread, from a stand-in for gpsd in this process that
// sends RATE fixes a second, fix i at latitude i / 100000; each fix sent is
// logged on standard output as "i milliseconds-since-1970". It runs until
// killed. "check DIR LOG KILLED" does what the next start does (repairs the
// recording), reads it and says how many of the fixes in LOG it lost;
// exits 1 when it does not parse, when its points are not the first ones
// sent in order, or when a fix sent 5 s or more before KILLED is missing.
#include "Clock.h"
#include "GpsFeed.h"
#include "Gpx.h"
#include "RecordingText.h"
#include "TrackRecorder.h"

#include <arpa/inet.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

long long wallMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int record(const std::string& dir, int rate)
{
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 1;
    GpsAddress gpsd;
    gpsd.host = "127.0.0.1";
    gpsd.port = std::to_string(ntohs(address.sin_port));
    GpsFeed feed(gpsd, dir, Clock::system());
    feed.setRecording(true);
    feed.start();
    const int client = accept(listener, nullptr, nullptr);
    const double start = std::floor(static_cast<double>(wallMs()) / 1000);
    for (long i = 0;; ++i) {
        char line[256];
        std::snprintf(line, sizeof line, "{\"class\":\"TPV\",\"mode\":3,\"time\":\"%s\",\"lat\":%.5f,\"lon\":14.0}\n",
                      RecordingText::timeText(start + static_cast<double>(i) / rate).c_str(),
                      static_cast<double>(i) / 100000);
        const std::string text = line;
        if (send(client, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size()))
            return 1;
        std::printf("%ld %lld\n", i, wallMs());
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 / rate));
        std::vector<RecordedPoint> ignored;
        feed.status(&ignored);
    }
}

std::string onlyRecording(const std::string& dir)
{
    std::string found;
    if (DIR* listing = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(listing))
            if (std::strncmp(entry->d_name, "recorded-", 9) == 0)
                found = dir + "/" + entry->d_name;
        closedir(listing);
    }
    return found;
}

int check(const std::string& dir, const std::string& log, long long killed)
{
    TrackRecorder::repairAll(dir);
    long sent = 0, due = 0;
    std::ifstream in(log);
    long index;
    long long at;
    while (in >> index >> at) {
        ++sent;
        due += at <= killed - 5000;
    }
    const std::string path = onlyRecording(dir);
    GpxData data;
    std::string problem;
    if (path.empty() || !Gpx::read(path, &data, &problem)) {
        std::printf("sent %ld, no whole recording: %s\n", sent, problem.c_str());
        return sent > 0 && due > 0 ? 1 : 0;
    }
    long points = 0;
    bool ordered = true;
    for (const auto& line : data.lines)
        for (const LonLat& point : line)
            ordered = ordered && std::fabs(point.lat - static_cast<double>(points++) / 100000) < 1e-7;
    std::printf("sent %ld recorded %ld lost %ld due %ld%s\n", sent, points, sent - points, due,
                ordered ? "" : " out of order");
    return ordered && points >= due ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "record") == 0)
        return record(argv[2], std::atoi(argv[3]) > 0 ? std::atoi(argv[3]) : 10);
    if (argc == 5 && std::strcmp(argv[1], "check") == 0)
        return check(argv[2], argv[3], std::atoll(argv[4]));
    std::fprintf(stderr, "usage: %s record DIR RATE | check DIR LOG KILLED\n", argv[0]);
    return 2;
}
