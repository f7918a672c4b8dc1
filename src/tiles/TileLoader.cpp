#include "TileLoader.h"

TileLoader::~TileLoader()
{
    stop();
}

void TileLoader::start()
{
    if (thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = false;
    }
    thread = std::thread(&TileLoader::loop, this);
}

void TileLoader::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        cancelledCount += queue.size();
        queue.clear();
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

void TileLoader::want(std::vector<TileRequest> requests)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const TileRequest& old : queue) {
            bool kept = false;
            for (const TileRequest& r : requests)
                kept = kept || r.key == old.key;
            if (!kept)
                ++cancelledCount;
        }
        queue.clear();
        for (TileRequest& r : requests)
            if (!(busy && r.key == inHand))
                queue.push_back(std::move(r));
    }
    wake.notify_one();
}

bool TileLoader::takeNext(TileRequest* request)
{
    if (queue.empty())
        return false;
    *request = std::move(queue.front());
    queue.pop_front();
    busy = true;
    inHand = request->key;
    return true;
}

void TileLoader::finish(TileResult result)
{
    std::lock_guard<std::mutex> lock(mutex);
    results.push_back(std::move(result));
    busy = false;
}

bool TileLoader::step()
{
    TileRequest request;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!takeNext(&request))
            return false;
    }
    finish(worker->work(request));
    return true;
}

void TileLoader::loop()
{
    for (;;) {
        TileRequest request;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            takeNext(&request);
        }
        finish(worker->work(request));
    }
}

std::vector<TileResult> TileLoader::takeResults()
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<TileResult> taken;
    taken.swap(results);
    return taken;
}

std::vector<CellKey> TileLoader::pending() const
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<CellKey> keys;
    for (const TileRequest& r : queue)
        keys.push_back(r.key);
    return keys;
}

bool TileLoader::idle() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return queue.empty() && !busy;
}

unsigned long TileLoader::cancelled() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return cancelledCount;
}
