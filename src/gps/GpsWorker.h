#ifndef TESSEL_GPSWORKER_H
#define TESSEL_GPSWORKER_H

#include "GpsAddress.h"
#include "GpsStatus.h"
#include "GpsdConnection.h"
#include "RecordedPoint.h"
#include "TrackRecorder.h"
#include "Waker.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class Clock;

// What GpsFeed runs: rounds of connecting, reading and recording. The
// connection and the recorder belong to whoever runs the rounds (the
// feed's thread, or the caller of step()); everything else is shared under
// the mutex.
class GpsWorker {
public:
    // After gpsd was absent, refused or went away, the next try is this
    // much later.
    static const std::uint32_t retryMs = 3000;

    GpsWorker(const GpsAddress& address, const std::string& tracksDir, Clock* clock);
    ~GpsWorker();
    GpsWorker(const GpsWorker&) = delete;
    GpsWorker& operator=(const GpsWorker&) = delete;

    // One round; waits at most `timeoutMs` (-1: until something is due).
    void round(int timeoutMs);
    // Rounds until stop(); then closes the recording and says it finished.
    void run();
    void stop();
    // Waits at most `ms` for run() to finish.
    bool waitFinished(int ms);

    void setRecording(bool on);
    // Runs on the rounds' thread after the status changed (set before
    // the rounds start).
    std::function<void()> changed;
    // A new report is told only when `showing` of its fix changed (what the
    // screen would show of it), or heartbeatMs after the last one told;
    // `key` names the function, so setting the same one again is nothing.
    // Without one every report is told.
    using Showing = std::function<std::uint64_t(const Fix&)>;
    void setShowing(int key, Showing showing);
    static const std::uint32_t heartbeatMs = 1000;
    GpsStatus status(std::vector<RecordedPoint>* recorded);
    unsigned long reports();

private:
    void connectIfDue(std::uint32_t now);
    void readReports();
    void applyRecordingWish();
    void record(const Fix& fix, std::vector<RecordedPoint>* taken);
    void failRecording();
    int waitFor(std::uint32_t now, int timeoutMs) const;
    void tell();
    bool newsLocked(bool lost);

    const GpsAddress address;
    Clock* const clock;
    GpsdConnection connection;
    TrackRecorder recorder;
    std::uint32_t lastAttempt = 0;
    bool attempted = false;
    bool recordingOn = false; // as the rounds have it
    Fix fix;
    Waker waker;

    std::mutex telling;
    bool silenced = false; // under `telling`: stop() was called

    std::mutex mutex;
    std::condition_variable finishedChanged;
    GpsStatus shared;
    Showing showing;
    int showingKey = -1;
    bool toldAny = false;
    std::uint64_t toldLook = 0;
    std::uint32_t toldAt = 0;
    std::vector<RecordedPoint> recorded;
    bool wantRecording = false;
    bool stopping = false;
    bool finished = false;
};

#endif
