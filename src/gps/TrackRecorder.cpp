#include "TrackRecorder.h"

#include "RecordingText.h"
#include "SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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
        if (fix.time >= lastTime && fix.time - lastTime < minSeconds - 0.001)
            return dropped;
        newSegment = newSegment || fix.time < lastTime || fix.time - lastTime > gapSeconds;
    }
    if (!allowed(now))
        return dropped;
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

// A bucket of maxPerSecond points a second, holding at most `burst`.
bool TrackRecorder::allowed(std::uint32_t now)
{
    if (allowanceSet)
        allowance = std::min(burst, allowance + (now - allowanceAt) * maxPerSecond / 1000.0);
    allowanceSet = true;
    allowanceAt = now;
    if (allowance < 1)
        return false;
    allowance -= 1;
    return true;
}

bool TrackRecorder::begin(const Fix& fix)
{
    const double time = std::isfinite(fix.time) ? fix.time : static_cast<double>(std::time(nullptr));
    std::string name = RecordingText::fileName(time);
    const std::string first = RecordingText::header() + RecordingText::point(fix);
    const std::string hidden = dir + "/.recording-" + std::to_string(getpid()) + ".tmp";
    // The folder is made when missing, as the settings and maps folders are.
    if (mkdir(dir.c_str(), 0755) == 0)
        SafeFile::syncDirectoryOf(dir);
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
    // A single point is no track: its file goes.
    if (file >= 0 && points < 2 && unlink(path.c_str()) == 0)
        SafeFile::syncDirectoryOf(path);
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

// More than a flush holds: a cut write and the zeros of unsynced blocks
// lie within the last this many bytes.
const long long tailBytes = 256 * 1024;
// A larger file is not a recording of ours; it is left as it is.
const long long maxRepairBytes = 1LL << 30;

// `size` bytes at `at`, or false.
bool readAt(int fd, long long at, std::size_t size, std::string* out)
{
    out->assign(size, '\0');
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = pread(fd, &(*out)[done], size - done, static_cast<off_t>(at + static_cast<long long>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The first `length` bytes of `from` and then `end` into a fresh `to`,
// synced; on failure `to` is removed.
bool copyCut(int from, long long length, const std::string& end, const std::string& to)
{
    unlink(to.c_str());
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (out < 0)
        return false;
    std::string chunk;
    bool ok = true;
    for (long long at = 0; ok && at < length;) {
        const std::size_t size = static_cast<std::size_t>(std::min<long long>(length - at, 64 * 1024));
        ok = readAt(from, at, size, &chunk) && SafeFile::writeAll(out, chunk.data(), size);
        at += static_cast<long long>(size);
    }
    ok = ok && SafeFile::writeAll(out, end.data(), end.size()) && fsync(out) == 0;
    ok = close(out) == 0 && ok;
    if (!ok)
        unlink(to.c_str());
    return ok;
}

// Where the recording open as `fd` should be cut: after its last whole
// point, found in its tail; 0 when it needs no repair or is not ours.
long long cutPoint(int fd)
{
    struct stat info;
    if (fstat(fd, &info) != 0 || info.st_size > maxRepairBytes)
        return 0;
    const long long size = static_cast<long long>(info.st_size);
    const long long tailStart = std::max(0LL, size - tailBytes);
    std::string tail;
    if (!readAt(fd, tailStart, static_cast<std::size_t>(size - tailStart), &tail))
        return 0;
    // Only the end is read of the many that were closed properly; an
    // unsynced block the disk lost reads as zeros.
    if (RecordingText::closed(tail) && tail.find('\0') == std::string::npos)
        return 0;
    // The header and the tail, as one text when the tail is not the whole.
    std::string head;
    const std::size_t headSize = RecordingText::header().size();
    if (tailStart > 0 && !readAt(fd, 0, headSize, &head))
        return 0;
    const std::size_t whole = RecordingText::wholeLength(head + tail);
    if (whole <= head.size())
        return 0;
    return tailStart + static_cast<long long>(whole - head.size());
}

bool isRecording(const std::string& name)
{
    return name.compare(0, 9, "recorded-") == 0 && name.size() > 13 &&
           name.compare(name.size() - 4, 4, ".gpx") == 0;
}

} // namespace

// Every file is read through SafeFile's door (a FIFO or device is refused,
// never waited on; a link is not ours) and only its ends are read; the
// repaired copy is made in bounded pieces.
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
    const std::string hidden = dir + "/.repair-" + std::to_string(getpid()) + ".tmp";
    for (const std::string& name : names) {
        const std::string path = dir + "/" + name;
        const int fd = SafeFile::openRegular(path, false);
        if (fd < 0)
            continue;
        const long long cut = cutPoint(fd);
        const bool copied = cut > 0 && copyCut(fd, cut, RecordingText::closing, hidden);
        close(fd);
        if (copied && std::rename(hidden.c_str(), path.c_str()) == 0) {
            SafeFile::syncDirectoryOf(path);
            repaired.push_back(name);
        } else if (copied) {
            std::remove(hidden.c_str());
        }
    }
    return repaired;
}
