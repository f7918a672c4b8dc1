#include "GpsFeed.h"

#include "GpsWorker.h"

#include <thread>

namespace {

// How long the program's exit waits for the thread: a connect the network
// holds up is left behind rather than waited for.
const int stopWaitMs = 2000;

} // namespace

GpsFeed::GpsFeed(const GpsAddress& address, const std::string& tracksDir, Clock* clock)
    : worker(std::make_shared<GpsWorker>(address, tracksDir, clock))
{
}

GpsFeed::~GpsFeed()
{
    if (!thread.joinable())
        return;
    worker->stop();
    if (worker->waitFinished(stopWaitMs))
        thread.join();
    else
        thread.detach();
}

void GpsFeed::start(std::function<void()> changed)
{
    if (thread.joinable())
        return;
    worker->changed = std::move(changed);
    std::shared_ptr<GpsWorker> shared = worker;
    thread = std::thread([shared] { shared->run(); });
}

void GpsFeed::step(int timeoutMs)
{
    worker->round(timeoutMs);
}

void GpsFeed::setShowing(int key, std::function<std::uint64_t(const Fix&)> showing)
{
    worker->setShowing(key, std::move(showing));
}

void GpsFeed::setRecording(bool on)
{
    worker->setRecording(on);
}

unsigned long GpsFeed::reports()
{
    return worker->reports();
}

GpsStatus GpsFeed::status(std::vector<RecordedPoint>* recorded)
{
    return worker->status(recorded);
}
