#ifndef TESSEL_TRACKREADER_H
#define TESSEL_TRACKREADER_H

#include "Tracks.h"

#include "WorkQueue.h"

#include <string>
#include <vector>

// GPX files read off the frame, so that a large or hostile file never
// holds up the window: the files given are read in order on a thread of
// their own (or, in tests, one per step() on the caller's), and each one
// read is handed back by take() for the caller to add to its Tracks.
class TrackReader {
public:
    struct Result {
        Tracks::File file; // without points when nothing could be read
        std::string problem; // "<file name>: <problem>" when it was not read whole
    };

    TrackReader();
    TrackReader(const TrackReader&) = delete;
    TrackReader& operator=(const TrackReader&) = delete;

    // Queues the files; with `threaded` they are read on the reader's
    // thread (started by the first such call).
    void read(const std::vector<std::string>& paths, bool threaded);
    // Reads the next queued file here; false when none was waiting.
    bool step();
    // The files read since the last call, in the order given.
    std::vector<Result> take();
    // True while a file is queued or being read; *path names the one in
    // hand (or next) and *bytes its size.
    bool busy(std::string* path, long long* bytes) const;
    // Drops what is queued and stops a file being read (what it read so
    // far is dropped), then joins the thread.
    void stop();

    // Called on the reader's thread when a file is read.
    void onRead(std::function<void()> call) { queue.onHanded(std::move(call)); }

private:
    WorkQueue<std::string, Result> queue;
};

#endif
