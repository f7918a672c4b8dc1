// Fuzz target for reading an OpenStreetMap extract into a search index:
// the bytes as a PBF file, the index finished and searched.
#include "IndexWriter.h"
#include "OsmSource.h"
#include "SearchIndex.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    char name[] = "/tmp/tessel-osm-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        std::abort();
    close(fd);
    std::string why;
    {
        IndexWriter writer(name);
        OsmSource source(&writer, "/tmp");
        if (writer.open(&why) && source.readBytes(reinterpret_cast<const char*>(data), size, &why) &&
            writer.finish(&why)) {
            std::unique_ptr<SearchIndex> index = SearchIndex::open(name, &why);
            std::vector<SearchResult> out;
            if (!index || !index->search("a", 0, 0, 20, &out, &why) || out.size() > 20)
                __builtin_trap();
        } else if (why.empty()) {
            __builtin_trap();
        }
    }
    std::remove(name);
    return 0;
}
