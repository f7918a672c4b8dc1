#ifndef TESSEL_PBFFRAMING_H
#define TESSEL_PBFFRAMING_H

#include <cstdint>
#include <functional>
#include <string>

// The blobs of an OpenStreetMap PBF file, checked before libosmium reads
// it: each header names its kind (OSMHeader first, then OSMData) and a size
// that the file holds. A header without a kind would reach the library's
// own check as a null pointer.
class PbfFraming {
public:
    // Reads `size` bytes at `at` into *bytes; false when they are not there.
    using Read = std::function<bool(std::uint64_t at, std::size_t size, std::string* bytes)>;

    static bool check(const Read& read, std::uint64_t fileSize, std::string* why);
};

#endif
