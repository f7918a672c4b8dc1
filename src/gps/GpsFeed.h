#ifndef TESSEL_GPSFEED_H
#define TESSEL_GPSFEED_H

#include "GpsAddress.h"
#include "GpsStatus.h"
#include "RecordedPoint.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class Clock;
class GpsWorker;

// The link to gpsd and the recording, worked off the main thread: one
// thread connects (again GpsWorker::retryMs after gpsd was absent, refused or went
// away), reads the reports, records the fixes and flushes the recording.
// It waits in poll() on the socket and a wake-up pipe with no timeout but
// the next retry or flush, so it costs nothing while nothing happens. The
// main thread reads status() once per frame and never waits for the link.
// Without start() nothing runs by itself: step() works one round on the
// caller's thread, which is how tests drive it.
class GpsFeed {
public:
    // Records into `tracksDir` while recording is on.
    GpsFeed(const GpsAddress& address, const std::string& tracksDir, Clock* clock);
    // Stops the thread; a recording is flushed and closed.
    ~GpsFeed();
    GpsFeed(const GpsFeed&) = delete;
    GpsFeed& operator=(const GpsFeed&) = delete;

    // `changed` runs on the thread whenever the status changes.
    void start(std::function<void()> changed = {});
    // One round here: connect when due, wait at most `timeoutMs` for
    // reports, read them, record, flush when due.
    void step(int timeoutMs);

    // See GpsWorker::setShowing.
    void setShowing(int key, std::function<std::uint64_t(const Fix&)> showing);
    // Recording on or off (taken at the next round).
    void setRecording(bool on);
    // The status now; *recorded gets the points recorded since the last
    // call. Clears the status's recordingProblem.
    GpsStatus status(std::vector<RecordedPoint>* recorded);
    // The position reports so far, the status's and all else left as it is.
    unsigned long reports();

private:
    // Shared with the thread, which may outlive the feed by a connect that
    // the network holds up: the feed then leaves it behind rather than
    // hold the program's exit.
    std::shared_ptr<GpsWorker> worker;
    std::thread thread;
};

#endif
