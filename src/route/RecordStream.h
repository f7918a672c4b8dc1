#ifndef TESSEL_RECORDSTREAM_H
#define TESSEL_RECORDSTREAM_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Fixed-size records read in order from a file descriptor through a buffer
// of its own, so a file of any size is walked in bounded memory.
class RecordStream {
public:
    RecordStream(int fd, std::uint64_t start, std::size_t recordSize);
    // Copies the next record into `out`; false at a read error or short file.
    bool next(void* out);

private:
    int fd;
    std::uint64_t at;
    std::size_t size;
    std::vector<unsigned char> buffer;
    std::size_t used = 0, filled = 0;
};

#endif
