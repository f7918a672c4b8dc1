#include "PMTilesPicker.h"

#include "ByteSpans.h"
#include "Gzip.h"

#include <algorithm>
#include <numeric>

namespace {

const std::uint64_t prefixBytes = 16384;
// Directories are read with small gaps joined, at most this much at once.
const std::uint64_t directoryGap = 64u << 10, maxDirectoryRead = 16u << 20;

bool fits(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

// Whether any wanted range meets ids a..b-1.
bool meets(const std::vector<PMTilesPicker::IdRange>& wanted, std::uint64_t a, std::uint64_t b)
{
    const auto r = std::upper_bound(wanted.begin(), wanted.end(), a,
                                    [](std::uint64_t v, const PMTilesPicker::IdRange& w) { return v < w.to; });
    return r != wanted.end() && r->from < b;
}

// Reads `spans` in merged reads; visit(i, bytes) gets span i's bytes.
bool readMerged(ByteSource& source, const std::vector<ByteSpans::Span>& spans, std::uint64_t gap,
                std::uint64_t maxRead, const std::function<bool(std::size_t, const std::string&)>& visit,
                std::string* error)
{
    std::vector<std::size_t> order(spans.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return spans[a].offset < spans[b].offset; });
    const std::vector<ByteSpans::Span> reads = ByteSpans::merge(spans, gap, maxRead);
    std::size_t r = 0, loaded = reads.size();
    std::string bytes;
    for (std::size_t i : order) {
        const ByteSpans::Span& s = spans[i];
        if (s.length == 0)
            continue;
        while (r < reads.size() && !(reads[r].offset <= s.offset &&
                                     s.offset + s.length <= reads[r].offset + reads[r].length))
            ++r;
        if (r == reads.size()) {
            *error = "internal error: a span outside its reads";
            return false;
        }
        if (loaded != r) {
            if (!source.read(reads[r].offset, reads[r].length, &bytes, error))
                return false;
            if (bytes.size() != reads[r].length) {
                *error = "the archive is cut short";
                return false;
            }
            loaded = r;
        }
        if (!visit(i, bytes.substr(static_cast<std::size_t>(s.offset - reads[r].offset),
                                   static_cast<std::size_t>(s.length))))
            return false;
    }
    return true;
}

} // namespace

bool PMTilesPicker::sectionsFit(std::string* error) const
{
    if (!h.sectionsFit(source.size(), error))
        return false;
    if (h.rootLength > maxDirectoryBytes || (h.metadataLength > maxDirectoryBytes && !metadataOptional)) {
        *error = "the root directory or the metadata is too large";
        return false;
    }
    return true;
}

bool PMTilesPicker::section(const std::string& prefix, std::uint64_t offset, std::uint64_t length, std::string* out,
                            std::string* error)
{
    if (fits(offset, length, prefix.size())) {
        *out = prefix.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
        return true;
    }
    if (!source.read(offset, length, out, error))
        return false;
    if (out->size() != length) {
        *error = "the archive is cut short";
        return false;
    }
    return true;
}

bool PMTilesPicker::readDirectory(const std::string& stored, std::vector<PMTiles::Entry>* entries,
                                  bool* overBudget) const
{
    const std::uint64_t left = visited < entryLimit ? entryLimit - visited : 0;
    return PMTiles::readDirectory(stored, h.internalCompression == PMTiles::Header::gzip, entries, left, overBudget);
}

std::string PMTilesPicker::tooManyEntries() const
{
    return "directories with more than " + std::to_string(entryLimit) + " entries";
}

bool PMTilesPicker::open(std::string* error)
{
    std::string prefix, stored;
    if (!source.read(0, prefixBytes, &prefix, error) || !h.parse(prefix, error))
        return false;
    if (h.internalCompression != PMTiles::Header::none && h.internalCompression != PMTiles::Header::gzip) {
        *error = std::string(h.internalCompression == PMTiles::Header::brotli ? "brotli"
                             : h.internalCompression == PMTiles::Header::zstd ? "zstd"
                                                                              : "unknown") +
                 " compression of the directories is not supported";
        return false;
    }
    if (!sectionsFit(error) || !section(prefix, h.rootOffset, h.rootLength, &stored, error))
        return false;
    bool overBudget = false;
    if (!readDirectory(stored, &root, &overBudget)) {
        *error = overBudget ? tooManyEntries() : "damaged root directory";
        return false;
    }
    if (h.metadataLength == 0 || (metadataOptional && h.metadataLength > maxDirectoryBytes))
        return true;
    std::string plain;
    if (!section(prefix, h.metadataOffset, h.metadataLength, &stored, error))
        return false;
    if (h.internalCompression == PMTiles::Header::gzip && !Gzip::inflate(stored, &plain, maxDirectoryBytes)) {
        if (metadataOptional)
            return true;
        *error = "damaged metadata";
        return false;
    }
    json = h.internalCompression == PMTiles::Header::gzip ? plain : stored;
    return true;
}

// The entries of one directory that meet `wanted`: tile runs cut to the
// wanted ids go to *picked, leaves to read next to *leaves.
bool PMTilesPicker::take(const std::vector<PMTiles::Entry>& directory, std::uint64_t end,
                         const std::vector<IdRange>& wanted, std::vector<Leaf>* leaves,
                         std::vector<PMTiles::Entry>* picked, std::string* error)
{
    for (std::size_t i = 0; i < directory.size(); ++i) {
        const PMTiles::Entry& e = directory[i];
        const std::uint64_t next = std::min(end, i + 1 < directory.size() ? directory[i + 1].tileId : end);
        if (++visited > entryLimit) {
            *error = tooManyEntries();
            return false;
        }
        if (e.tileId >= next || !meets(wanted, e.tileId, next))
            continue;
        if (e.runLength == 0) {
            if (!fits(e.offset, e.length, h.leafLength) || e.length > maxDirectoryBytes) {
                *error = "damaged leaf directory";
                return false;
            }
            leaves->push_back(Leaf{e, next});
            continue;
        }
        if (!fits(e.offset, e.length, h.dataLength) || e.length > maxTileBytes) {
            *error = "tile data outside the archive";
            return false;
        }
        const std::uint64_t runEnd = e.runLength < next - e.tileId ? e.tileId + e.runLength : next;
        auto r = std::upper_bound(wanted.begin(), wanted.end(), e.tileId,
                                  [](std::uint64_t v, const IdRange& w) { return v < w.to; });
        for (; r != wanted.end() && r->from < runEnd; ++r) {
            const std::uint64_t from = std::max(r->from, e.tileId), to = std::min(r->to, runEnd);
            picked->push_back(PMTiles::Entry{from, e.offset, e.length, to - from});
            if (picked->size() > maxEntriesPicked) {
                *error = "more than " + std::to_string(maxEntriesPicked) + " tile runs in the area";
                return false;
            }
        }
    }
    return true;
}

// One leaf at a time, each parsed only when its entries fit in what is
// left of the budget: a leaf listed many times, or one that inflates to a
// million entries, costs one leaf's memory.
bool PMTilesPicker::takeLeaves(const std::vector<Leaf>& leaves, const std::vector<IdRange>& wanted,
                               std::vector<Leaf>* next, std::vector<PMTiles::Entry>* picked, std::string* error)
{
    std::vector<ByteSpans::Span> spans;
    for (const Leaf& l : leaves)
        spans.push_back(ByteSpans::Span{h.leafOffset + l.entry.offset, l.entry.length});
    std::vector<PMTiles::Entry> directory;
    bool failed = false;
    const bool read = readMerged(
        source, spans, directoryGap, maxDirectoryRead,
        [&](std::size_t i, const std::string& bytes) {
            bool overBudget = false;
            if (!readDirectory(bytes, &directory, &overBudget)) {
                *error = overBudget ? tooManyEntries() : "damaged leaf directory";
                failed = true;
            } else {
                failed = !take(directory, leaves[i].end, wanted, next, picked, error);
            }
            return !failed;
        },
        error);
    return read && !failed;
}

bool PMTilesPicker::pick(const std::vector<IdRange>& wanted, std::vector<PMTiles::Entry>* picked, std::string* error)
{
    picked->clear();
    visited = 0;
    std::vector<Leaf> leaves;
    if (!take(root, ~0ull, wanted, &leaves, picked, error))
        return false;
    for (int depth = 1; !leaves.empty(); ++depth) {
        if (depth > maxLeafDepth) {
            *error = "leaf directories nested deeper than " + std::to_string(maxLeafDepth);
            return false;
        }
        std::vector<Leaf> next;
        if (!takeLeaves(leaves, wanted, &next, picked, error))
            return false;
        leaves.swap(next);
    }
    std::sort(picked->begin(), picked->end(),
              [](const PMTiles::Entry& a, const PMTiles::Entry& b) { return a.tileId < b.tileId; });
    for (std::size_t i = 1; i < picked->size(); ++i)
        if ((*picked)[i].tileId < (*picked)[i - 1].tileId + (*picked)[i - 1].runLength) {
            *error = "directories that overlap";
            return false;
        }
    return true;
}

bool PMTilesPicker::fetch(const std::vector<PMTiles::Entry>& entries, std::uint64_t gap, std::uint64_t maxRead,
                          const DataVisitor& visit, std::string* error)
{
    std::vector<ByteSpans::Span> spans;
    spans.reserve(entries.size());
    for (const PMTiles::Entry& e : entries)
        spans.push_back(ByteSpans::Span{h.dataOffset + e.offset, e.length});
    return readMerged(
        source, spans, gap, maxRead, [&](std::size_t i, const std::string& bytes) { return visit(entries[i], bytes); },
        error);
}
