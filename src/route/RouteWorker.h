#ifndef TESSEL_ROUTEWORKER_H
#define TESSEL_ROUTEWORKER_H

#include "RouteDatabase.h"
#include "RouteRequest.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Computes routes off the main thread, one at a time. The main thread
// states what it wants (a new request cancels the one in hand, through the
// library's progress callback) and collects the result once per frame; it
// never waits for a route. The routing folder is loaded on the first
// request that needs it and kept for the next; release() frees it (the
// package closed). Without start() nothing runs by itself: step() works the
// pending request on the caller's thread, as tests drive it.
class RouteWorker {
public:
    RouteWorker() = default;
    ~RouteWorker();
    RouteWorker(const RouteWorker&) = delete;
    RouteWorker& operator=(const RouteWorker&) = delete;

    void start();
    // Cancels everything and joins.
    void stop();

    // Replaces what is pending; the route being computed is cancelled.
    void want(const RouteRequest& request);
    // Cancels the pending and the running request (Escape).
    void cancel();
    // Works the pending request here; false when there was none.
    bool step();
    // The finished result, once; false when there is none yet.
    bool take(RouteResult* out);
    // Frees the loaded routing data (on the worker, between requests).
    void release();

    bool busy() const;
    // Runs on the worker's thread when a result is ready (set before start()).
    std::function<void()> onFinished;
    // How far the running route is, 0 to 1.
    double progress() const { return done.load() / 1000.0; }

private:
    void loop();
    RouteResult work(const RouteRequest& request);

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool pending = false, running = false, stopping = false, releasing = false, finished = false;
    RouteRequest next;
    RouteResult result;
    std::atomic<bool> cancelled{false};
    std::atomic<int> done{0};   // thousandths
    std::unique_ptr<RouteDatabase> db;   // touched only by the thread working
    std::thread thread;
};

#endif
