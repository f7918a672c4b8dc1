#ifndef TESSEL_SEARCH_VARINT_H
#define TESSEL_SEARCH_VARINT_H

#include <cstdint>
#include <string>

// Little-endian base-128 numbers, as the index stores its counts, lengths
// and deltas; reading is checked against the end of the bytes.
namespace Varint {

inline void put(std::string* out, std::uint64_t v)
{
    while (v >= 0x80) {
        out->push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out->push_back(static_cast<char>(v));
}

inline void putSigned(std::string* out, std::int64_t v)
{
    put(out, (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
}

// False at the end of the bytes or on a number longer than 64 bits.
inline bool get(const unsigned char** p, const unsigned char* end, std::uint64_t* v)
{
    // Most numbers of a block fit one byte; a 32-bit board pays for every
    // 64-bit shift of the loop.
    if (*p < end && **p < 0x80) {
        *v = *(*p)++;
        return true;
    }
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (*p >= end)
            return false;
        const unsigned char b = *(*p)++;
        value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) {
            *v = value;
            return true;
        }
    }
    return false;
}

inline bool getSigned(const unsigned char** p, const unsigned char* end, std::int64_t* v)
{
    std::uint64_t u = 0;
    if (!get(p, end, &u))
        return false;
    *v = static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
    return true;
}

} // namespace Varint

#endif
