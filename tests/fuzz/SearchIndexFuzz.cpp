// Fuzz target for the search index reader: the bytes as an index file
// (opened and searched) and as one of its blocks.
#include "IndexBlock.h"
#include "ScratchFile.h"
#include "SearchIndex.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IndexBlock block;
    std::string why;
    if (block.decode(bytes, &why) && block.items.size() > IndexBlock::maxItems)
        __builtin_trap();
    static const std::string path = scratchFile("search");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
    std::unique_ptr<SearchIndex> index = SearchIndex::open(path, &why);
    if (!index) {
        if (why.empty())
            __builtin_trap();
        return 0;
    }
    for (const char* query : {"a", "pr", "narodni 7", "prag", "zzzzz"}) {
        std::vector<SearchResult> out;
        if (index->search(query, 50, 14, 20, &out, &why) && out.size() > 20)
            __builtin_trap();
    }
    return 0;
}
