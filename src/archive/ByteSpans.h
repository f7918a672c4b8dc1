#ifndef TESSEL_BYTESPANS_H
#define TESSEL_BYTESPANS_H

#include <cstdint>
#include <vector>

// Ranges of bytes to read, and how nearby ones are read together: one
// request over a small gap costs less than two requests.
namespace ByteSpans {

struct Span {
    std::uint64_t offset = 0, length = 0;
};

// The reads that cover `wanted` (in any order, overlaps allowed): spans
// less than `gap` bytes apart are joined while the read stays within
// `maxRead` bytes (a longer span is read alone). Sorted by offset.
std::vector<Span> merge(std::vector<Span> wanted, std::uint64_t gap, std::uint64_t maxRead);

} // namespace ByteSpans

#endif
