#include "TrackRecorder.h"

#include "RecordingText.h"
#include "SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

TrackRecorder::~TrackRecorder()
{
    stop();
}

TrackRecorder::Outcome TrackRecorder::add(const Fix& fix, std::uint32_t now)
{
    if (!problem.empty() || !fix.hasPosition())
        return problem.empty() ? dropped : failed;
    bool newSegment = segmentEnded;
    if (std::isfinite(fix.time) && std::isfinite(lastTime)) {
        if (fix.time == lastTime)
            return dropped;
        newSegment = newSegment || fix.time < lastTime || fix.time - lastTime > gapSeconds;
    }
    if (std::isfinite(fix.time))
        lastTime = fix.time;
    segmentEnded = false;
    if (file < 0)
        return begin(fix) ? added : failed;
    if (held.empty())
        heldSince = now;
    if (newSegment)
        held += RecordingText::segmentBreak;
    held += RecordingText::point(fix);
    ++points;
    if (held.size() >= flushBytes && !flush())
        return failed;
    return newSegment ? addedInNewSegment : added;
}

bool TrackRecorder::begin(const Fix& fix)
{
    const double time = std::isfinite(fix.time) ? fix.time : static_cast<double>(std::time(nullptr));
    std::string name = RecordingText::fileName(time);
    const std::string first = RecordingText::header() + RecordingText::point(fix);
    const std::string hidden = dir + "/.recording-" + std::to_string(getpid()) + ".tmp";
    if (!SafeFile::writeDurably(hidden, first + RecordingText::closing)) {
        fail(std::strerror(errno));
        return false;
    }
    // link() never replaces: a name taken already gets a number.
    const std::string stem = name.substr(0, name.size() - 4);
    bool linked = false;
    for (int n = 1; n <= 100 && !linked; ++n) {
        path = dir + "/" + (n == 1 ? name : stem + "-" + std::to_string(n) + ".gpx");
        linked = link(hidden.c_str(), path.c_str()) == 0;
        if (!linked && errno != EEXIST)
            break;
    }
    const int error = errno;
    unlink(hidden.c_str());
    if (!linked) {
        fail(std::strerror(error));
        return false;
    }
    SafeFile::syncDirectoryOf(path);
    file = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (file < 0) {
        fail(std::strerror(errno));
        return false;
    }
    dataEnd = static_cast<long long>(first.size());
    points = 1;
    return true;
}

bool TrackRecorder::flushIfDue(std::uint32_t now)
{
    if (held.empty() || now - heldSince < flushMs)
        return problem.empty();
    return flush();
}

int TrackRecorder::msUntilFlush(std::uint32_t now) const
{
    if (held.empty())
        return -1;
    const std::uint32_t age = now - heldSince;
    return age >= flushMs ? 0 : static_cast<int>(flushMs - age);
}

bool TrackRecorder::flush()
{
    if (held.empty() || file < 0)
        return problem.empty();
    if (!write(held + RecordingText::closing, dataEnd) || fsync(file) != 0) {
        const std::string why = std::strerror(errno);
        // Give back what the cut write took and close what reached the disk.
        if (ftruncate(file, dataEnd) == 0 && write(RecordingText::closing, dataEnd))
            fsync(file);
        fail(why);
        return false;
    }
    dataEnd += static_cast<long long>(held.size());
    held.clear();
    return true;
}

bool TrackRecorder::write(const std::string& bytes, long long at)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(file, bytes.data() + done, bytes.size() - done, static_cast<off_t>(at) + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void TrackRecorder::fail(const std::string& why)
{
    problem = why.empty() ? std::string("write failed") : why;
    held.clear();
    if (file >= 0)
        close(file);
    file = -1;
}

void TrackRecorder::stop()
{
    flush();
    if (file >= 0)
        close(file);
    file = -1;
    held.clear();
    problem.clear();
    lastTime = NAN;
    segmentEnded = false;
    points = 0;
}

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The last `size` bytes of a file (all of a shorter one).
std::string readTail(const std::string& path, std::size_t size)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff length = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    const std::streamoff start = length > static_cast<std::streamoff>(size) ? length - static_cast<std::streamoff>(size) : 0;
    std::string tail(static_cast<std::size_t>(length - start), '\0');
    in.seekg(start);
    in.read(&tail[0], static_cast<std::streamsize>(tail.size()));
    return in ? tail : std::string();
}

bool isRecording(const std::string& name)
{
    return name.compare(0, 9, "recorded-") == 0 && name.size() > 13 &&
           name.compare(name.size() - 4, 4, ".gpx") == 0;
}

} // namespace

std::vector<std::string> TrackRecorder::repairAll(const std::string& dir)
{
    std::vector<std::string> repaired;
    DIR* listing = opendir(dir.c_str());
    if (!listing)
        return repaired;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(listing))
        if (isRecording(entry->d_name))
            names.push_back(entry->d_name);
    closedir(listing);
    for (const std::string& name : names) {
        const std::string path = dir + "/" + name;
        // Only the end is read of the many that were closed properly; an
        // unsynced block the disk lost reads as zeros.
        const std::string tail = readTail(path, 8192);
        if (RecordingText::closed(tail) && tail.find('\0') == std::string::npos)
            continue;
        const std::string text = readFile(path);
        const std::size_t whole = RecordingText::wholeLength(text);
        // Not a recording of ours, or nothing in it to save: left as it is.
        if (whole == 0 || (RecordingText::closed(text) && text.find('\0') == std::string::npos))
            continue;
        const std::string hidden = dir + "/.repair-" + std::to_string(getpid()) + ".tmp";
        if (SafeFile::writeDurably(hidden, text.substr(0, whole) + RecordingText::closing) &&
            std::rename(hidden.c_str(), path.c_str()) == 0) {
            SafeFile::syncDirectoryOf(path);
            repaired.push_back(name);
        } else {
            std::remove(hidden.c_str());
        }
    }
    return repaired;
}
