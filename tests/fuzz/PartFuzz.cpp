// Fuzz target for the packed part files: the header and offset table check,
// then every tile of the part it accepted.
#include "PackedMap.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    PackedMap::Header header;
    if (!PackedMap::readHeader(in, &header))
        return 0;
    if (header.firstIndex < 0 || header.firstIndex > header.endIndex || header.endIndex > header.tileCount)
        __builtin_trap();
    std::string bytes;
    for (int i = header.firstIndex; i < header.endIndex && i < header.firstIndex + 64; ++i)
        if (PackedMap::readTile(in, header, i, &bytes) && bytes.size() > size)
            __builtin_trap();
    return 0;
}
