#include "PMTilesWriter.h"

#include "Gzip.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The header and the root directory must fit in the first 16 KiB.
const std::size_t rootRoom = 16384 - PMTiles::Header::size;

bool writeFully(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

} // namespace

PMTilesWriter::~PMTilesWriter()
{
    if (out >= 0)
        close(out);
    if (data >= 0)
        close(data);
}

bool PMTilesWriter::open(const std::string& path, std::string* error)
{
    out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    // The spool has no name: nothing is left of it whatever happens.
    const std::size_t slash = path.rfind('/');
    std::string spoolName = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".tessel-spool-XXXXXX";
    data = out < 0 ? -1 : mkstemp(&spoolName[0]);
    if (data >= 0)
        unlink(spoolName.c_str());
    if (out < 0 || data < 0) {
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}

bool PMTilesWriter::sameAsSpooled(std::uint64_t offset, const std::string& bytes)
{
    std::string stored(bytes.size(), '\0');
    return pread(data, &stored[0], stored.size(), static_cast<off_t>(offset)) == static_cast<ssize_t>(stored.size()) &&
           stored == bytes;
}

bool PMTilesWriter::spool(const std::string& bytes, std::uint64_t* offset, std::string* error)
{
    const std::size_t hash = std::hash<std::string>()(bytes);
    const auto candidates = byHash.equal_range(hash);
    for (auto c = candidates.first; c != candidates.second; ++c)
        if (c->second.length == bytes.size() && sameAsSpooled(c->second.offset, bytes)) {
            *offset = c->second.offset;
            return true;
        }
    if (pwrite(data, bytes.data(), bytes.size(), static_cast<off_t>(dataSize)) != static_cast<ssize_t>(bytes.size())) {
        *error = "cannot write the tiles (disk full?)";
        return false;
    }
    *offset = dataSize;
    byHash.emplace(hash, PMTiles::Entry{0, dataSize, bytes.size(), 1});
    dataSize += bytes.size();
    return true;
}

bool PMTilesWriter::add(std::uint64_t tileId, std::uint64_t run, const std::string& bytes, std::string* error)
{
    if (run == 0 || bytes.empty())
        return true; // PMTiles stores no empty tiles
    std::uint64_t offset;
    if (!spool(bytes, &offset, error))
        return false;
    entries.push_back(PMTiles::Entry{tileId, offset, bytes.size(), run});
    addressed += run;
    return true;
}

// Leaves of growing size until the root fits its room.
void PMTilesWriter::buildDirectories(std::string* root, std::string* leaves) const
{
    *root = Gzip::deflate(PMTiles::serializeDirectory(entries));
    leaves->clear();
    for (std::size_t leafSize = 4096; root->size() > rootRoom; leafSize *= 2) {
        std::vector<PMTiles::Entry> rootEntries;
        leaves->clear();
        for (std::size_t i = 0; i < entries.size(); i += leafSize) {
            const auto from = entries.begin() + static_cast<long>(i);
            const auto to = entries.begin() + static_cast<long>(std::min(entries.size(), i + leafSize));
            const std::string leaf = Gzip::deflate(PMTiles::serializeDirectory(std::vector<PMTiles::Entry>(from, to)));
            rootEntries.push_back(PMTiles::Entry{from->tileId, leaves->size(), leaf.size(), 0});
            *leaves += leaf;
        }
        *root = Gzip::deflate(PMTiles::serializeDirectory(rootEntries));
    }
}

bool PMTilesWriter::writeAll(const std::string& bytes)
{
    return writeFully(out, bytes.data(), bytes.size());
}

// The data in id order, each content once (a clustered archive): `order`
// holds the spool offsets as the entries first name them.
bool PMTilesWriter::copySpool(const std::vector<PMTiles::Entry>& order)
{
    std::string buffer;
    for (const PMTiles::Entry& e : order) {
        buffer.resize(static_cast<std::size_t>(e.length));
        if (pread(data, &buffer[0], buffer.size(), static_cast<off_t>(e.offset)) != static_cast<ssize_t>(buffer.size()) ||
            !writeAll(buffer))
            return false;
    }
    return true;
}

bool PMTilesWriter::finish(PMTiles::Header h, const std::string& metadataJson, std::string* error)
{
    std::sort(entries.begin(), entries.end(),
              [](const PMTiles::Entry& a, const PMTiles::Entry& b) { return a.tileId < b.tileId; });
    // Neighbouring runs of the same bytes become one; overlapping ids are refused.
    std::vector<PMTiles::Entry> merged;
    for (const PMTiles::Entry& e : entries) {
        if (!merged.empty() && e.tileId < merged.back().tileId + merged.back().runLength) {
            *error = "the same tile was given twice";
            return false;
        }
        if (!merged.empty() && merged.back().tileId + merged.back().runLength == e.tileId &&
            merged.back().offset == e.offset)
            merged.back().runLength += e.runLength;
        else
            merged.push_back(e);
    }
    entries.swap(merged);
    // Contents move to where their first tile in id order puts them.
    std::unordered_map<std::uint64_t, std::uint64_t> moved;
    std::vector<PMTiles::Entry> order;
    std::uint64_t next = 0;
    for (PMTiles::Entry& e : entries) {
        const auto placed = moved.emplace(e.offset, next);
        if (placed.second) {
            order.push_back(e);
            next += e.length;
        }
        e.offset = placed.first->second;
    }
    h.clustered = true;
    std::string root, leaves;
    buildDirectories(&root, &leaves);
    const std::string metadata = Gzip::deflate(metadataJson);
    h.internalCompression = PMTiles::Header::gzip;
    h.rootOffset = PMTiles::Header::size;
    h.rootLength = root.size();
    h.metadataOffset = h.rootOffset + root.size();
    h.metadataLength = metadata.size();
    h.leafOffset = h.metadataOffset + metadata.size();
    h.leafLength = leaves.size();
    h.dataOffset = h.leafOffset + leaves.size();
    h.dataLength = dataSize;
    h.addressedTiles = addressed;
    h.tileEntries = entries.size();
    h.tileContents = byHash.size();
    const bool ok = writeAll(h.bytes()) && writeAll(root) && writeAll(metadata) && writeAll(leaves) && copySpool(order) &&
                    fsync(out) == 0;
    if (!ok)
        *error = "cannot write the archive (disk full?)";
    return ok;
}
