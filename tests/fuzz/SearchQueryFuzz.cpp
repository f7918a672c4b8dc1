// Fuzz target for queries: the bytes as what a user typed, searched in a
// small index made once, and folded.
#include "Folding.h"
#include "IndexWriter.h"
#include "ScratchFile.h"
#include "SearchIndex.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::unique_ptr<SearchIndex> makeIndex()
{
    const std::string path = scratchFile("query");
    IndexWriter writer(path);
    std::string why;
    if (!writer.open(&why))
        std::abort();
    const char* const names[] = {"Praha", "Plzeň", "Zürich", "Straße", "Łódź", "תל אביב", "東京", "A", "1. máje"};
    int i = 0;
    for (const char* n : names) {
        SearchEntry e;
        e.kind = "town";
        e.names = {n, std::string(n) + " " + std::to_string(i)};
        e.lat = 50 + i * 0.01;
        e.lon = 14 + i * 0.01;
        writer.add(e);
        ++i;
    }
    if (!writer.finish(&why))
        std::abort();
    return SearchIndex::open(path, &why);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::unique_ptr<SearchIndex> index = makeIndex();
    const std::string query(reinterpret_cast<const char*>(data), size);
    for (const std::string& w : Folding::words(query))
        if (w.empty() || w.size() > Folding::maxWordBytes)
            __builtin_trap();
    std::vector<SearchResult> out;
    std::string why;
    if (!index || !index->search(query, 50, 14, 5, &out, &why) || out.size() > 5)
        __builtin_trap();
    for (std::size_t i = 1; i < out.size(); ++i)
        if (out[i].rank == out[i - 1].rank && out[i].distance < out[i - 1].distance)
            __builtin_trap();
    return 0;
}
