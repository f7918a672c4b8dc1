#ifndef TESSEL_TRACKRECORDER_H
#define TESSEL_TRACKRECORDER_H

#include "Fix.h"

#include <cstdint>
#include <string>
#include <vector>

// Records fixes into tracks/recorded-YYYYMMDD-HHMMSS.gpx (the UTC time of
// the first fix), one trkpt per fix, so that a kill or a power cut loses
// at most the last flushMs of them:
// - the file appears whole (header, first point, closing tags: written to
//   a hidden file, synced, then linked to its name, never over another);
// - later points are kept in memory and written at most flushMs after the
//   first of them came, followed by the closing tags, over the previous
//   closing tags, and synced; so the file parses after every flush;
// - a write cut short by a kill or a power cut leaves a tail that
//   repairAll() cuts back to the last whole point and closes at the next
//   start.
// A fix whose time equals the previous one is the same fix again and is
// dropped; so is one less than minSeconds after the last point kept, and
// one past maxPerSecond points a second on the clock (a receiver or a
// gpsd that floods fixes fills neither the disk nor the memory). A new segment starts after lost(), when the time goes back, or
// after a pause longer than gapSeconds. A failed write (full disk,
// read-only tracks/) ends the recording with `problem` set; what reached
// the disk is closed and kept.
class TrackRecorder {
public:
    static const std::uint32_t flushMs = 2000;
    static const std::size_t flushBytes = 64 * 1024;
    static constexpr double gapSeconds = 10;
    static constexpr double minSeconds = 0.2;
    static constexpr double maxPerSecond = 5;
    static constexpr double burst = 10; // points kept at once after a quiet time

    enum Outcome { dropped, added, addedInNewSegment, failed };

    explicit TrackRecorder(std::string dir) : dir(std::move(dir)) {}
    ~TrackRecorder();
    TrackRecorder(const TrackRecorder&) = delete;
    TrackRecorder& operator=(const TrackRecorder&) = delete;

    // Takes a fix with a position, at `now` milliseconds (a Clock's ticks).
    Outcome add(const Fix& fix, std::uint32_t now);
    // The fix was lost (or gpsd went away): the next point starts a segment.
    void lost() { segmentEnded = true; }
    // Writes what is held when the first of it is flushMs old; false once
    // the recording failed.
    bool flushIfDue(std::uint32_t now);
    // Writes what is held now; false once the recording failed.
    bool flush();
    // Flushes and closes the file (removed when it holds a single point);
    // the next add() starts a new one.
    void stop();
    bool recording() const { return file >= 0; }
    // Milliseconds until flushIfDue() has work, or -1 when nothing is held.
    int msUntilFlush(std::uint32_t now) const;

    // Every recording in `dir` that does not end with the closing tags is
    // cut back to its last whole point and closed. Returns the names of
    // those repaired.
    static std::vector<std::string> repairAll(const std::string& dir);

    const std::string dir;
    std::string path;    // of the file being written, or the last one
    std::string problem; // why the recording failed; empty while it works
    unsigned long points = 0; // written or held in this recording

private:
    bool begin(const Fix& fix);
    bool write(const std::string& bytes, long long at);
    void fail(const std::string& why);
    bool allowed(std::uint32_t now);

    int file = -1;
    long long dataEnd = 0; // where the closing tags start
    std::string held;
    std::uint32_t heldSince = 0;
    double lastTime = NAN;
    bool segmentEnded = false;
    double allowance = burst; // points that may be kept now
    std::uint32_t allowanceAt = 0;
    bool allowanceSet = false;
};

#endif
