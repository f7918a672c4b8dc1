#include "BlockBuilder.h"

#include "Folding.h"
#include "PostingList.h"

#include <algorithm>

namespace {

void gather(const std::string& joined, std::uint8_t eighth, std::map<std::string, std::uint8_t>* words,
            std::set<std::string>* prefixes)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= joined.size(); ++i) {
        if (i < joined.size() && joined[i] != ' ')
            continue;
        if (i > start) {
            const std::string word = joined.substr(start, i - start);
            (*words)[word] |= eighth;
            const std::size_t length = Folding::characters(word);
            for (std::size_t n = 1; n <= BlockBuilder::prefixLength && n <= length; ++n)
                prefixes->insert(Folding::firstCharacters(word, n));
        }
        start = i + 1;
    }
}

} // namespace

void BlockBuilder::add(std::uint32_t kind, std::int32_t lat, std::int32_t lon, const std::string& place,
                       const std::vector<std::string>& names)
{
    IndexBlock::Entry item;
    item.kind = kind;
    item.lat = lat;
    item.lon = lon;
    item.names = names;
    if (!place.empty()) {
        const auto found = std::find(block.places.begin(), block.places.end(), place);
        item.place = static_cast<std::int32_t>(found - block.places.begin());
        if (found == block.places.end())
            block.places.push_back(place);
    }
    if (block.entries.empty()) {
        south = north = lat;
        west = east = lon;
    }
    south = std::min(south, lat);
    north = std::max(north, lat);
    west = std::min(west, lon);
    east = std::max(east, lon);
    block.entries.push_back(item);
}

std::string BlockBuilder::take()
{
    nameWords.clear();
    placeWords.clear();
    namePrefixes.clear();
    placePrefixes.clear();
    const std::string bytes = block.encode();
    const std::size_t count = block.entries.size();
    for (std::size_t i = 0; i < count; ++i) {
        const IndexBlock::Entry& item = block.entries[i];
        const std::uint8_t eighth = PostingList::eighthOf(i, count);
        for (const std::string& f : item.folded)
            gather(f, eighth, &nameWords, &namePrefixes);
        if (item.place >= 0)
            gather(block.placesFolded[static_cast<std::size_t>(item.place)], eighth, &placeWords, &placePrefixes);
    }
    block = IndexBlock();
    return bytes;
}
