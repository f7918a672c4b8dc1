#ifndef TESSEL_BYTESOURCE_H
#define TESSEL_BYTESOURCE_H

#include <cstdint>
#include <string>

// Bytes read by offset from a file or from a server that answers range
// requests. Each read is one request: callers merge nearby ranges first.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Exactly `length` bytes from `offset` (fewer only at the end of the
    // source); false with *error saying why.
    virtual bool read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error) = 0;
    // The whole size, once known (a server tells it with its first answer).
    virtual std::uint64_t size() const = 0;

    std::string label; // the file or address, for messages
};

#endif
