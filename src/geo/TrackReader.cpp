#include "TrackReader.h"

#include <sys/stat.h>

TrackReader::~TrackReader()
{
    stop();
}

void TrackReader::read(const std::vector<std::string>& paths, bool threaded)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue.insert(queue.end(), paths.begin(), paths.end());
    }
    if (threaded && !thread.joinable()) {
        stopping = false;
        thread = std::thread(&TrackReader::loop, this);
    } else if (!paths.empty()) {
        wake.notify_one();
    }
}

// Reads the first queued file with the lock released; false when there is none.
bool TrackReader::readNext(std::unique_lock<std::mutex>& lock)
{
    if (queue.empty() || stopping)
        return false;
    inHand = queue.front();
    queue.pop_front();
    const std::string path = inHand;
    lock.unlock();
    Result r;
    Tracks::readFile(path, &r.file, &r.problem, &stopping);
    lock.lock();
    inHand.clear();
    if (!stopping)
        results.push_back(std::move(r));
    return true;
}

bool TrackReader::step()
{
    std::unique_lock<std::mutex> lock(mutex);
    return readNext(lock);
}

void TrackReader::loop()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (!readNext(lock))
            wake.wait(lock, [this] { return stopping || !queue.empty(); });
    }
}

std::vector<TrackReader::Result> TrackReader::take()
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<Result> taken;
    taken.swap(results);
    return taken;
}

bool TrackReader::busy(std::string* path, long long* bytes) const
{
    std::string name;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (inHand.empty() && queue.empty())
            return false;
        name = inHand.empty() ? queue.front() : inHand;
    }
    struct stat info;
    *path = name;
    *bytes = stat(name.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
    return true;
}

void TrackReader::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        queue.clear();
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}
