#ifndef TESSEL_WORKQUEUE_H
#define TESSEL_WORKQUEUE_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Requests worked one at a time, in order, into results the owner takes
// when it likes: on a thread of the queue's own after start(), or one per
// step() on the caller's thread (tests, and modes that want the work done
// at once). The owner never waits for a request being worked.
template <typename Request, typename Result>
class WorkQueue {
public:
    // Works one request; false when it has nothing to hand over.
    using Work = std::function<bool(const Request&, Result*)>;

    explicit WorkQueue(Work work) : work(std::move(work)) {}
    ~WorkQueue() { stop(); }
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    // `call` runs on the working thread each time a result is handed over,
    // so that whoever sleeps until there is something to show wakes up.
    void onHanded(std::function<void()> call)
    {
        std::lock_guard<std::mutex> lock(mutex);
        handed = std::move(call);
    }

    void start()
    {
        if (thread.joinable())
            return;
        stopping = false;
        thread = std::thread(&WorkQueue::loop, this);
    }
    // Drops what is pending, raises stopped() for the request in hand, lets
    // it finish and joins the thread. Returns the requests dropped.
    std::size_t stop()
    {
        std::size_t dropped;
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            dropped = queue.size();
            queue.clear();
        }
        wake.notify_all();
        if (thread.joinable())
            thread.join();
        return dropped;
    }
    bool running() const { return thread.joinable(); }
    // For long work: true once stop() was asked for.
    const std::atomic<bool>* stopped() const { return &stopping; }

    // Changes the pending requests under the lock: change(pending, inHand),
    // inHand being the request worked now or null. Wakes the thread.
    template <typename Change>
    void edit(Change change)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            change(queue, busy ? static_cast<const Request*>(&inHand) : nullptr);
        }
        wake.notify_one();
    }
    // Reads the pending requests and the one in hand under the lock.
    template <typename Look>
    void inspect(Look look) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        look(queue, busy ? &inHand : nullptr);
    }

    // Works the first pending request here; false when there was none.
    bool step()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return workNext(lock);
    }
    // The results handed over since the last call, in the order made.
    std::vector<Result> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<Result> taken;
        taken.swap(results);
        return taken;
    }
    bool idle() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return queue.empty() && !busy;
    }

private:
    // Works the first request with the lock released.
    bool workNext(std::unique_lock<std::mutex>& lock)
    {
        if (queue.empty() || busy)
            return false;
        inHand = std::move(queue.front());
        queue.pop_front();
        busy = true;
        lock.unlock();
        Result result;
        const bool made = work(inHand, &result);
        lock.lock();
        busy = false;
        if (!made)
            return true;
        results.push_back(std::move(result));
        if (handed) {
            const std::function<void()> call = handed;
            lock.unlock();
            call();
            lock.lock();
        }
        return true;
    }
    void loop()
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopping)
            if (!workNext(lock))
                wake.wait(lock, [this] { return stopping || (!queue.empty() && !busy); });
    }

    const Work work;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<Request> queue;
    std::vector<Result> results;
    std::function<void()> handed;
    Request inHand{};
    bool busy = false;
    std::atomic<bool> stopping{false};
    std::thread thread;
};

#endif
