#include "SearchIndex.h"

#include "BlockBuilder.h"
#include "Folding.h"
#include "Geodesy.h"
#include "IndexWriter.h"
#include "PostingList.h"
#include "SafeFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <sqlite3.h>
#include <unistd.h>

namespace {

const int stepsPerCall = 1000;
const std::size_t maxKinds = 1u << 16;
const std::size_t maxResults = 1000;

std::int32_t int32At(const unsigned char* p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

bool wholeNumber(const std::string& text, std::uint64_t limit, std::uint64_t* out)
{
    char* end = nullptr;
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (*end || v > limit)
        return false;
    *out = v;
    return true;
}

// Whether every word starts a word of the name or of the place, one at
// least of the name.
bool matches(const IndexBlock& block, const std::vector<std::string>& words, const IndexBlock::Text& name,
             const IndexBlock::Text* place)
{
    bool inName = false;
    for (const std::string& w : words) {
        if (block.startsWord(name, w))
            inName = true;
        else if (!place || !block.startsWord(*place, w))
            return false;
    }
    return inName;
}

int rank(const IndexBlock& block, const std::vector<std::string>& words, const IndexBlock::Text& name)
{
    for (const std::string& w : words)
        if (!block.startsWord(name, w))
            return 2;
    return block.startsWord(name, words[0], true) ? 0 : 1;
}

} // namespace

int SearchIndex::onProgress(void* self)
{
    SearchIndex* index = static_cast<SearchIndex*>(self);
    index->steps += stepsPerCall;
    return index->steps > index->stepLimit;
}

std::string SearchIndex::failure(int status) const
{
    if (status == SQLITE_INTERRUPT)
        return "the index takes too long to read (damaged?)";
    return std::string("the index is damaged (") + sqlite3_errmsg(db) + ")";
}

SearchIndex::~SearchIndex()
{
    sqlite3_finalize(blockQuery);
    sqlite3_finalize(prefixQuery);
    sqlite3_finalize(rangeQuery);
    sqlite3_close(db);
}

std::unique_ptr<SearchIndex> SearchIndex::open(const std::string& path, std::string* why)
{
    std::unique_ptr<SearchIndex> index(new SearchIndex());
    // SQLite would wait in open() on a FIFO.
    const int regular = SafeFile::openRegular(path);
    if (regular < 0) {
        *why = "not a readable file";
        return nullptr;
    }
    close(regular);
    if (sqlite3_open_v2(SafeFile::immutableUri(path).c_str(), &index->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        *why = "not a search index (not a readable SQLite file)";
        return nullptr;
    }
    sqlite3_progress_handler(index->db, stepsPerCall, &SearchIndex::onProgress, index.get());
    if (!index->readMeta(why))
        return nullptr;
    if (sqlite3_prepare_v2(index->db, "SELECT data FROM blocks WHERE id = ?1", -1, &index->blockQuery, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(index->db, "SELECT names, places FROM prefixes WHERE prefix = ?1", -1, &index->prefixQuery,
                           nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(index->db,
                           "SELECT names, places FROM words WHERE word >= ?1 AND word < ?1 || x'FF' LIMIT ?2", -1,
                           &index->rangeQuery, nullptr) != SQLITE_OK) {
        *why = "not a search index (" + std::string(sqlite3_errmsg(index->db)) + ")";
        return nullptr;
    }
    return index;
}

bool SearchIndex::readMeta(std::string* why)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT key, value FROM meta", -1, &st, nullptr) != SQLITE_OK) {
        *why = "not a search index (no meta table)";
        return false;
    }
    std::string format, version, count, boxBytes, bounds, entryCount, nameCount;
    int status;
    for (int rows = 0; (status = sqlite3_step(st)) == SQLITE_ROW && rows < 64; ++rows) {
        const char* key = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        const std::string k = key ? key : "";
        const void* data = sqlite3_column_blob(st, 1);
        const std::string value(static_cast<const char*>(data), data ? static_cast<std::size_t>(sqlite3_column_bytes(st, 1)) : 0);
        for (auto field : {std::make_pair("format", &format), std::make_pair("version", &version),
                           std::make_pair("blocks", &count), std::make_pair("boxes", &boxBytes),
                           std::make_pair("bounds", &bounds), std::make_pair("entries", &entryCount),
                           std::make_pair("names", &nameCount)})
            if (k == field.first)
                *field.second = value;
    }
    sqlite3_finalize(st);
    std::uint64_t blocksValue = 0;
    if (format != IndexWriter::format) {
        *why = "not a search index";
        return false;
    }
    if (version != std::to_string(IndexWriter::formatVersion)) {
        *why = "a search index of another version (" + Folding::clean(version, 20) + "; this program reads version " +
               std::to_string(IndexWriter::formatVersion) + "): make it again with tessel-pack index";
        return false;
    }
    if (!wholeNumber(count, 1u << 28, &blocksValue) || boxBytes.size() != blocksValue * 16 || bounds.size() != 16 ||
        !wholeNumber(entryCount, ~0ull, &entries) || !wholeNumber(nameCount, ~0ull, &names)) {
        *why = "the index is damaged (its description does not add up)";
        return false;
    }
    blockCount = static_cast<std::size_t>(blocksValue);
    boxes.resize(blockCount * 4);
    const auto* p = reinterpret_cast<const unsigned char*>(boxBytes.data());
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = int32At(p + 4 * i);
    const auto* b = reinterpret_cast<const unsigned char*>(bounds.data());
    centreLat = (static_cast<double>(int32At(b)) + int32At(b + 8)) / 2e6;
    centreLon = (static_cast<double>(int32At(b + 4)) + int32At(b + 12)) / 2e6;
    if (sqlite3_prepare_v2(db, "SELECT id, name FROM kinds ORDER BY id", -1, &st, nullptr) != SQLITE_OK) {
        *why = "not a search index (no kinds table)";
        return false;
    }
    while ((status = sqlite3_step(st)) == SQLITE_ROW && kinds.size() < maxKinds) {
        const char* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        if (sqlite3_column_int64(st, 0) != static_cast<sqlite3_int64>(kinds.size()))
            break;
        kinds.push_back(Folding::clean(name ? name : "", 40));
    }
    sqlite3_finalize(st);
    if (status != SQLITE_DONE) {
        *why = "the index is damaged (its kinds)";
        return false;
    }
    return true;
}

bool SearchIndex::addLists(sqlite3_stmt* row, bool withBits)
{
    return PostingList::addTo(sqlite3_column_blob(row, 0), static_cast<std::size_t>(sqlite3_column_bytes(row, 0)),
                              withBits, blockCount, inNames.data()) &&
           PostingList::addTo(sqlite3_column_blob(row, 1), static_cast<std::size_t>(sqlite3_column_bytes(row, 1)),
                              withBits, blockCount, inPlaces.data());
}

// The blocks whose names (and places) hold a word starting with `word`,
// with the eighths that hold it: the word list's rows for it, or the short
// prefix's list when the word starts too many words to gather (a larger
// set, every eighth, read nearest first all the same).
bool SearchIndex::lookup(const std::string& word, std::string* why)
{
    inNames.assign(blockCount, 0);
    inPlaces.assign(blockCount, 0);
    int status = SQLITE_DONE;
    if (Folding::characters(word) > BlockBuilder::prefixLength) {
        sqlite3_reset(rangeQuery);
        sqlite3_bind_text(rangeQuery, 1, word.c_str(), static_cast<int>(word.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(rangeQuery, 2, static_cast<sqlite3_int64>(maxRangeWords + 1));
        std::size_t rows = 0;
        while ((status = sqlite3_step(rangeQuery)) == SQLITE_ROW && ++rows <= maxRangeWords) {
            if (!addLists(rangeQuery, true)) {
                sqlite3_reset(rangeQuery);
                *why = "the index is damaged (a word list)";
                return false;
            }
        }
        sqlite3_reset(rangeQuery);
        if (status != SQLITE_DONE && status != SQLITE_ROW) {
            *why = failure(status);
            return false;
        }
        if (rows <= maxRangeWords)
            return true;
        inNames.assign(blockCount, 0);
        inPlaces.assign(blockCount, 0);
    }
    const std::string prefix = Folding::firstCharacters(word, BlockBuilder::prefixLength);
    sqlite3_reset(prefixQuery);
    sqlite3_bind_text(prefixQuery, 1, prefix.c_str(), static_cast<int>(prefix.size()), SQLITE_TRANSIENT);
    status = sqlite3_step(prefixQuery);
    const bool damaged = status == SQLITE_ROW && !addLists(prefixQuery, false);
    sqlite3_reset(prefixQuery);
    if (damaged) {
        *why = "the index is damaged (a prefix list)";
        return false;
    }
    if (status != SQLITE_ROW && status != SQLITE_DONE) {
        *why = failure(status);
        return false;
    }
    return true;
}

// Blocks where one eighth holds every word at the start of a word of a
// name or a place, one word at least of a name.
bool SearchIndex::candidates(const std::vector<std::string>& words, std::vector<std::uint32_t>* out, std::string* why)
{
    out->clear();
    std::vector<std::uint8_t>& all = together;
    all.assign(blockCount, PostingList::wholeBlock);
    std::vector<std::uint8_t> named(blockCount, 0);
    for (const std::string& w : words) {
        if (!lookup(w, why))
            return false;
        bool any = false;
        for (std::size_t b = 0; b < blockCount; ++b) {
            all[b] &= static_cast<std::uint8_t>(inNames[b] | inPlaces[b]);
            named[b] |= inNames[b];
            any = any || all[b];
        }
        if (!any)
            return true;
    }
    for (std::size_t b = 0; b < blockCount; ++b) {
        all[b] &= named[b];
        if (all[b])
            out->push_back(static_cast<std::uint32_t>(b));
    }
    return true;
}

bool SearchIndex::readBlock(std::uint32_t id, std::string* why)
{
    sqlite3_reset(blockQuery);
    sqlite3_bind_int64(blockQuery, 1, id);
    const int status = sqlite3_step(blockQuery);
    if (status != SQLITE_ROW) {
        *why = status == SQLITE_DONE ? "the index is damaged (a block is missing)" : failure(status);
        sqlite3_reset(blockQuery);
        return false;
    }
    const void* data = sqlite3_column_blob(blockQuery, 0);
    std::string problem;
    const bool decoded = block.decode(static_cast<const char*>(data),
                                      data ? static_cast<std::size_t>(sqlite3_column_bytes(blockQuery, 0)) : 0, &problem);
    sqlite3_reset(blockQuery);
    if (!decoded) {
        *why = "the index is damaged (" + problem + ")";
        return false;
    }
    return true;
}

// A bound below the distance to anything in the block: to the nearest
// point of its box, a little short for the sphere's curves.
double SearchIndex::boxDistance(std::uint32_t id, double lat, double lon) const
{
    const std::int32_t* box = &boxes[4 * static_cast<std::size_t>(id)];
    const double nearLat = std::min(std::max(lat, box[0] / 1e6), box[2] / 1e6);
    const double nearLon = std::min(std::max(lon, box[1] / 1e6), box[3] / 1e6);
    return 0.99 * Geodesy::distance(lat, lon, nearLat, nearLon);
}

// A cheaper bound below boxDistance: along the meridian to the box's
// latitudes, no further than any path there.
double SearchIndex::latitudeDistance(std::uint32_t id, double lat) const
{
    const std::int32_t* box = &boxes[4 * static_cast<std::size_t>(id)];
    const double off = std::fmax(0.0, std::fmax(box[0] / 1e6 - lat, lat - box[2] / 1e6));
    return 0.98 * Geodesy::earthRadius * Geodesy::radians(off);
}

bool SearchIndex::search(const std::string& query, double lat, double lon, std::size_t limit,
                         std::vector<SearchResult>* out, std::string* why)
{
    out->clear();
    blocksRead = 0;
    cut = false;
    abandoned = false;
    steps = 0;
    limit = std::min(limit, maxResults);
    std::vector<std::string> words = Folding::words(query);
    if (words.size() > 8)
        words.resize(8);
    if (words.empty() || limit == 0 || !(std::fabs(lat) <= 90 && std::fabs(lon) <= 180))
        return true;
    std::vector<std::uint32_t> blocks;
    if (!candidates(words, &blocks, why))
        return false;
    // Nearest first by a bound below the distance: the cheap one first,
    // the box's own only for blocks that come up (most never do).
    struct Pending {
        double bound;
        std::uint32_t id;
        bool exact;
        bool operator>(const Pending& o) const { return bound > o.bound || (bound == o.bound && exact < o.exact); }
    };
    std::vector<Pending> heap;
    heap.reserve(blocks.size());
    for (std::uint32_t id : blocks)
        heap.push_back({latitudeDistance(id, lat), id, false});
    std::make_heap(heap.begin(), heap.end(), std::greater<Pending>());
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), std::greater<Pending>());
        const Pending next = heap.back();
        heap.pop_back();
        if (out->size() == limit && next.bound > out->back().distance)
            break;
        if (!next.exact) {
            heap.push_back({boxDistance(next.id, lat, lon), next.id, true});
            std::push_heap(heap.begin(), heap.end(), std::greater<Pending>());
            continue;
        }
        if (blocksRead == maxBlocks) {
            cut = true;
            break;
        }
        if (abandon && abandon()) {
            abandoned = true;
            out->clear();
            return true;
        }
        ++blocksRead;
        if (!readBlock(next.id, why))
            return false;
        const std::size_t count = block.items.size();
        for (std::size_t i = 0; i < count; ++i) {
            const IndexBlock::Item& item = block.items[i];
            if (!(PostingList::eighthOf(i, count) & together[next.id]))
                continue;  // no eighth there holds every word
            if (item.kind >= kinds.size()) {
                *why = "the index is damaged (a kind out of range)";
                return false;
            }
            const IndexBlock::Text* place = item.place >= 0 ? &block.placeTexts[static_cast<std::size_t>(item.place)] : nullptr;
            for (std::uint32_t f = 0; f < item.names; ++f) {
                const IndexBlock::Text& name = block.nameTexts[item.firstName + f];
                if (!matches(block, words, name, place))
                    continue;
                SearchResult r;
                r.lat = item.lat / 1e6;
                r.lon = item.lon / 1e6;
                r.distance = Geodesy::distance(lat, lon, r.lat, r.lon);
                if (out->size() == limit && r.distance >= out->back().distance)
                    break;
                r.name = block.name(item, 0);
                if (f > 0)
                    r.matched = block.shown(name);
                r.kind = kinds[item.kind];
                r.place = place ? block.shown(*place) : std::string();
                r.bearing = Geodesy::bearing(lat, lon, r.lat, r.lon);
                r.rank = rank(block, words, name);
                const auto at = std::upper_bound(out->begin(), out->end(), r.distance,
                                                 [](double d, const SearchResult& s) { return d < s.distance; });
                out->insert(at, r);
                if (out->size() > limit)
                    out->pop_back();
                break;
            }
        }
    }
    // Among the nearest matches, those the name alone matches come first.
    std::stable_sort(out->begin(), out->end(),
                     [](const SearchResult& a, const SearchResult& b) { return a.rank < b.rank; });
    return true;
}
