#include "Endianness.h"

#include <cstring>

namespace Endianness {

bool littleEndian()
{
    const std::uint32_t one = 1;
    unsigned char first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

int reverseInt(int value)
{
    std::uint32_t v;
    std::memcpy(&v, &value, 4);
    v = (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24);
    int result;
    std::memcpy(&result, &v, 4);
    return result;
}

int readBigEndian(const unsigned char* bytes)
{
    int raw;
    std::memcpy(&raw, bytes, 4);
    return littleEndian() ? reverseInt(raw) : raw;
}

void writeBigEndian(int value, unsigned char* bytes)
{
    const int raw = littleEndian() ? reverseInt(value) : value;
    std::memcpy(bytes, &raw, 4);
}

} // namespace Endianness
