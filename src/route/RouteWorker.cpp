#include "RouteWorker.h"

#include "RouteFolders.h"

RouteWorker::~RouteWorker()
{
    stop();
}

void RouteWorker::start()
{
    if (!thread.joinable())
        thread = std::thread(&RouteWorker::loop, this);
}

void RouteWorker::stop()
{
    {
        std::lock_guard<std::mutex> hold(mutex);
        stopping = true;
        pending = false;
    }
    cancelled = true;
    wake.notify_all();
    if (thread.joinable())
        thread.join();
    db.reset();
}

void RouteWorker::want(const RouteRequest& request)
{
    {
        std::lock_guard<std::mutex> hold(mutex);
        next = request;
        pending = true;
        finished = false;
        cancelled = running;
    }
    wake.notify_all();
}

void RouteWorker::cancel()
{
    std::lock_guard<std::mutex> hold(mutex);
    pending = false;
    finished = false;
    cancelled = true;
}

void RouteWorker::release()
{
    {
        std::lock_guard<std::mutex> hold(mutex);
        releasing = true;
    }
    wake.notify_all();
    if (!thread.joinable()) {
        std::lock_guard<std::mutex> hold(mutex);
        releasing = false;
        db.reset();
    }
}

bool RouteWorker::busy() const
{
    std::lock_guard<std::mutex> hold(mutex);
    return pending || running;
}

bool RouteWorker::take(RouteResult* out)
{
    std::lock_guard<std::mutex> hold(mutex);
    if (!finished)
        return false;
    finished = false;
    *out = std::move(result);
    return true;
}

bool RouteWorker::step()
{
    RouteRequest request;
    {
        std::unique_lock<std::mutex> hold(mutex);
        if (releasing && !running) {
            releasing = false;
            hold.unlock();
            db.reset();
            hold.lock();
        }
        if (!pending)
            return false;
        request = next;
        pending = false;
        running = true;
        cancelled = false;
    }
    done = 0;
    RouteResult made = work(request);
    bool told = false;
    {
        std::lock_guard<std::mutex> hold(mutex);
        running = false;
        // A result nobody waits for any more (cancelled, or another request
        // came) is dropped.
        if (!pending && !cancelled) {
            result = std::move(made);
            finished = told = true;
        }
    }
    if (told && onFinished)
        onFinished();
    return true;
}

void RouteWorker::loop()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(mutex);
            wake.wait(hold, [this] { return stopping || pending || releasing; });
            if (stopping)
                return;
        }
        if (!step()) {
            std::lock_guard<std::mutex> hold(mutex);
            releasing = false;   // step() freed it
        }
    }
}

RouteResult RouteWorker::work(const RouteRequest& request)
{
    RouteResult out;
    out.id = request.id;
    RouteFolders folders;
    folders.scan(request.mapsDir);
    const std::string dir = folders.covering(request.fromLat, request.fromLon, request.toLat, request.toLon);
    if (dir.empty()) {
        out.data = RouteResult::noneCovering;
        out.why = folders.entries.empty() ? "no routing data in " + request.mapsDir
                                          : "no routing data covers both the start and the destination";
        return out;
    }
    if (!db || db->dir != dir) {
        db.reset();
        db = RouteDatabase::open(dir, &out.why);
        if (!db) {
            out.data = RouteResult::unusable;
            return out;
        }
    }
    Router router;
    if (!request.profilesFile.empty())
        router.profilesFile = request.profilesFile;
    router.cancel = &cancelled;
    router.progress = [this](double fraction) { done = int(fraction * 1000); };
    out.outcome = router.compute(*db, request.profile, request.fromLat, request.fromLon, request.toLat, request.toLon,
                                 &out.route, &out.why);
    return out;
}
