#include "TileLoader.h"

TileLoader::TileLoader(TileWorker* worker)
    : queue([worker](const TileRequest& request, TileResult* result) {
          *result = worker->work(request);
          return true;
      })
{
}

void TileLoader::start()
{
    queue.start();
}

void TileLoader::stop()
{
    const std::size_t dropped = queue.stop();
    queue.edit([&](std::deque<TileRequest>&, const TileRequest*) { cancelledCount += dropped; });
}

void TileLoader::want(std::vector<TileRequest> requests)
{
    queue.edit([&](std::deque<TileRequest>& pending, const TileRequest* inHand) {
        for (const TileRequest& old : pending) {
            bool kept = false;
            for (const TileRequest& r : requests)
                kept = kept || r.key == old.key;
            if (!kept)
                ++cancelledCount;
        }
        pending.clear();
        for (TileRequest& r : requests)
            if (!(inHand && r.key == inHand->key))
                pending.push_back(std::move(r));
    });
}

bool TileLoader::step()
{
    return queue.step();
}

std::vector<TileResult> TileLoader::takeResults()
{
    return queue.take();
}

std::vector<CellKey> TileLoader::pending() const
{
    std::vector<CellKey> keys;
    queue.inspect([&](const std::deque<TileRequest>& pending, const TileRequest*) {
        for (const TileRequest& r : pending)
            keys.push_back(r.key);
    });
    return keys;
}

bool TileLoader::idle() const
{
    return queue.idle();
}

unsigned long TileLoader::cancelled() const
{
    unsigned long count = 0;
    queue.inspect([&](const std::deque<TileRequest>&, const TileRequest*) { count = cancelledCount; });
    return count;
}
