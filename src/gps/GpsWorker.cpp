#include "GpsWorker.h"

#include "Clock.h"

#include <chrono>
#include <poll.h>

namespace {

// Points waiting for the main thread; past this the drawing misses some
// (the file has them all).
const std::size_t maxWaitingPoints = 100000;

} // namespace

GpsWorker::GpsWorker(const GpsAddress& address, const std::string& tracksDir, Clock* clock)
    : address(address), clock(clock), recorder(tracksDir)
{
    shared.link = address.off ? GpsStatus::off : GpsStatus::connecting;
}

GpsWorker::~GpsWorker()
{
    recorder.stop();
}

void GpsWorker::round(int timeoutMs)
{
    applyRecordingWish();
    connectIfDue(clock->ticks());
    pollfd fds[2] = {{waker.fd(), POLLIN, 0}, {connection.fd(), POLLIN, 0}};
    const nfds_t count = connection.isOpen() ? 2 : 1;
    if (poll(fds, count, waitFor(clock->ticks(), timeoutMs)) > 0) {
        if (fds[0].revents != 0)
            waker.clear();
        if (count == 2 && fds[1].revents != 0)
            readReports();
    }
    applyRecordingWish();
    if (!recorder.flushIfDue(clock->ticks()))
        failRecording();
}

// Until the next retry or flush, and no longer than the caller allows.
int GpsWorker::waitFor(std::uint32_t now, int timeoutMs) const
{
    int wait = timeoutMs;
    const auto sooner = [&wait](int ms) {
        if (ms >= 0 && (wait < 0 || ms < wait))
            wait = ms;
    };
    if (!address.off && !connection.isOpen()) {
        const std::uint32_t since = now - lastAttempt;
        sooner(since >= retryMs ? 0 : static_cast<int>(retryMs - since));
    }
    sooner(recorder.msUntilFlush(now));
    return wait;
}

void GpsWorker::connectIfDue(std::uint32_t now)
{
    if (address.off || connection.isOpen() || (attempted && now - lastAttempt < retryMs))
        return;
    attempted = true;
    std::string problem;
    const bool open = connection.open(address.host, address.port, &problem);
    lastAttempt = clock->ticks();
    {
        std::lock_guard<std::mutex> lock(mutex);
        shared.link = open ? GpsStatus::connected : GpsStatus::waiting;
    }
    tell();
}

void GpsWorker::readReports()
{
    std::vector<RecordedPoint> taken;
    unsigned long reports = 0;
    const bool alive = connection.read(&fix, [&](GpsdReport::Kind kind) {
        if (kind != GpsdReport::position)
            return;
        ++reports;
        if (fix.hasPosition())
            record(fix, &taken);
        else
            recorder.lost();
    });
    if (!alive) {
        // gpsd went away: what was held is written now, and the fix is gone.
        connection.close();
        lastAttempt = clock->ticks();
        recorder.lost();
        if (!recorder.flush())
            failRecording();
        fix = Fix();
    }
    std::unique_lock<std::mutex> lock(mutex);
    shared.fix = fix;
    shared.reports += reports;
    if (!alive)
        shared.link = GpsStatus::waiting;
    if (recorder.recording())
        shared.recordingPath = recorder.path;
    for (const RecordedPoint& point : taken)
        if (recorded.size() < maxWaitingPoints)
            recorded.push_back(point);
    const bool news = newsLocked(!alive);
    lock.unlock();
    if (news)
        tell();
}

// Under the lock: whether the loop should hear of the fix now.
bool GpsWorker::newsLocked(bool lost)
{
    const std::uint32_t now = clock->ticks();
    const std::uint64_t look = showing ? showing(fix) : 0;
    if (!lost && showing && toldAny && look == toldLook && now - toldAt < heartbeatMs)
        return false;
    toldAny = true;
    toldLook = look;
    toldAt = now;
    return true;
}

void GpsWorker::setShowing(int key, Showing look)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (key == showingKey)
        return;
    showingKey = key;
    showing = std::move(look);
    toldAny = false;
}

void GpsWorker::record(const Fix& position, std::vector<RecordedPoint>* taken)
{
    if (!recordingOn)
        return;
    const TrackRecorder::Outcome outcome = recorder.add(position, clock->ticks());
    if (outcome == TrackRecorder::failed) {
        failRecording();
        return;
    }
    if (outcome != TrackRecorder::dropped)
        taken->push_back({position.lon, position.lat, outcome == TrackRecorder::addedInNewSegment || recorder.points == 1});
}

void GpsWorker::failRecording()
{
    const std::string problem = recorder.problem.empty() ? std::string("write failed") : recorder.problem;
    recorder.stop();
    recordingOn = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        wantRecording = false;
        shared.recording = false;
        shared.recordingProblem = problem;
    }
    tell();
}

void GpsWorker::applyRecordingWish()
{
    bool want;
    {
        std::lock_guard<std::mutex> lock(mutex);
        want = wantRecording;
    }
    if (want == recordingOn)
        return;
    if (!want)
        recorder.stop();
    recordingOn = want;
    {
        std::lock_guard<std::mutex> lock(mutex);
        shared.recording = want;
        if (!want)
            shared.recordingPath.clear();
    }
    tell();
}

void GpsWorker::run()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping)
                break;
        }
        round(-1);
    }
    recorder.stop();
    connection.close();
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    finishedChanged.notify_all();
}

void GpsWorker::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    {
        std::lock_guard<std::mutex> lock(telling);
        silenced = true;
    }
    waker.wake();
}

bool GpsWorker::waitFinished(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return finishedChanged.wait_for(lock, std::chrono::milliseconds(ms), [this] { return finished; });
}

void GpsWorker::setRecording(bool on)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        wantRecording = on;
    }
    waker.wake();
}

GpsStatus GpsWorker::status(std::vector<RecordedPoint>* points)
{
    std::lock_guard<std::mutex> lock(mutex);
    GpsStatus now = shared;
    shared.recordingProblem.clear();
    if (points) {
        points->swap(recorded);
        recorded.clear();
    }
    return now;
}

unsigned long GpsWorker::reports()
{
    std::lock_guard<std::mutex> lock(mutex);
    return shared.reports;
}

// Under a lock of its own, which stop() takes too, so that none comes after
// stop() (the feed may leave a thread behind whose owner is gone), and the
// main thread reading the status right away does not wait for it.
void GpsWorker::tell()
{
    std::lock_guard<std::mutex> lock(telling);
    if (changed && !silenced)
        changed();
}
