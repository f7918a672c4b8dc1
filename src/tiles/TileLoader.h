#ifndef TESSEL_TILELOADER_H
#define TESSEL_TILELOADER_H

#include "TileRequest.h"
#include "WorkQueue.h"

#include <vector>

// Makes one cell's picture from a request. The loader calls it on its own
// thread, one request at a time; it holds whatever files it reads.
class TileWorker {
public:
    virtual ~TileWorker() = default;
    virtual TileResult work(const TileRequest& request) = 0;
};

// One background thread working through the cells the view wants, in the
// order it wants them. The main thread states what it wants (replacing
// what it wanted before: the rest is cancelled) and collects finished
// pictures once per frame; it never waits for a decode. Without start()
// nothing runs by itself: step() works one request on the caller's thread,
// which is how the synchronous viewport and the tests drive it.
class TileLoader {
public:
    explicit TileLoader(TileWorker* worker);
    TileLoader(const TileLoader&) = delete;
    TileLoader& operator=(const TileLoader&) = delete;

    void start();
    // Cancels what is pending, lets the request in hand finish, joins.
    void stop();

    // The pending work becomes `requests`, in this order. A request for
    // the cell being worked on now is dropped (its result is on the way).
    void want(std::vector<TileRequest> requests);
    // Works the first pending request here; false when there was none.
    bool step();
    // Finished pictures since the last call, in the order they were made.
    std::vector<TileResult> takeResults();

    std::vector<CellKey> pending() const;
    bool idle() const;
    // Requests dropped from the pending list by want() and stop().
    unsigned long cancelled() const;

    // Called on the loader's thread when a picture is finished.
    void onFinished(std::function<void()> call) { queue.onHanded(std::move(call)); }

private:
    WorkQueue<TileRequest, TileResult> queue;
    unsigned long cancelledCount = 0; // under the queue's lock
};

#endif
