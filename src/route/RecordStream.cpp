#include "RecordStream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

RecordStream::RecordStream(int fd, std::uint64_t start, std::size_t recordSize)
    : fd(fd), at(start), size(recordSize), buffer(64 * 1024 / recordSize * recordSize)
{
}

bool RecordStream::next(void* out)
{
    if (filled - used < size) {
        std::memmove(buffer.data(), buffer.data() + used, filled - used);
        filled -= used;
        used = 0;
        while (filled < size) {
            const ssize_t got = pread(fd, buffer.data() + filled, buffer.size() - filled, static_cast<off_t>(at));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            filled += static_cast<std::size_t>(got);
            at += static_cast<std::uint64_t>(got);
        }
    }
    std::memcpy(out, buffer.data() + used, size);
    used += size;
    return true;
}
