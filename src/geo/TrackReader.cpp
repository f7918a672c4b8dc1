#include "TrackReader.h"

#include <sys/stat.h>

TrackReader::TrackReader()
    : queue([this](const std::string& path, Result* r) {
          Tracks::readFile(path, &r->file, &r->problem, queue.stopped());
          // A file cut off by stop() is not handed over.
          return !*queue.stopped();
      })
{
}

void TrackReader::read(const std::vector<std::string>& paths, bool threaded)
{
    if (!paths.empty())
        queue.edit([&](std::deque<std::string>& pending, const std::string*) {
            pending.insert(pending.end(), paths.begin(), paths.end());
        });
    if (threaded)
        queue.start();
}

bool TrackReader::step()
{
    return queue.step();
}

std::vector<TrackReader::Result> TrackReader::take()
{
    return queue.take();
}

bool TrackReader::busy(std::string* path, long long* bytes) const
{
    std::string name;
    queue.inspect([&](const std::deque<std::string>& pending, const std::string* inHand) {
        if (inHand)
            name = *inHand;
        else if (!pending.empty())
            name = pending.front();
    });
    if (name.empty())
        return false;
    struct stat info;
    *path = name;
    *bytes = stat(name.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
    return true;
}

void TrackReader::stop()
{
    queue.stop();
}
