#include "SearchWorker.h"

SearchWorker::SearchWorker(std::unique_ptr<SearchIndex> i, bool manual) : index(std::move(i))
{
    index->abandon = [this] {
        std::lock_guard<std::mutex> lock(mutex);
        return waiting || stopping;
    };
    if (!manual)
        thread = std::thread(&SearchWorker::run, this);
}

SearchWorker::~SearchWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

std::uint64_t SearchWorker::want(const std::string& query, double lat, double lon, std::size_t limit)
{
    std::uint64_t number;
    {
        std::lock_guard<std::mutex> lock(mutex);
        number = ++latest;
        pending = Query{number, query, lat, lon, limit};
        waiting = true;
        ready = false;
    }
    wake.notify_all();
    return number;
}

bool SearchWorker::take(SearchAnswer* out)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!ready || done.number != latest)
        return false;
    ready = false;
    *out = std::move(done);
    return true;
}

bool SearchWorker::step()
{
    std::unique_lock<std::mutex> lock(mutex);
    return answer(lock);
}

// Answers the waiting query with the lock released while it searches.
bool SearchWorker::answer(std::unique_lock<std::mutex>& lock)
{
    if (!waiting)
        return false;
    const Query query = pending;
    waiting = false;
    lock.unlock();
    SearchAnswer a;
    a.number = query.number;
    a.query = query.text;
    if (!index->search(query.text, query.lat, query.lon, query.limit, &a.results, &a.problem))
        a.results.clear();
    const bool abandoned = index->abandoned;
    lock.lock();
    if (!abandoned && a.number == latest) {
        done = std::move(a);
        ready = true;
        if (onAnswer)
            onAnswer();
    }
    return true;
}

void SearchWorker::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (!answer(lock))
            wake.wait(lock, [this] { return waiting || stopping; });
    }
}
