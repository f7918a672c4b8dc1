#include "RouteDataCheck.h"

#include "RecordStream.h"
#include "SafeFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace RouteDataCheck {

const char* const fileNames[fileCount] = {"nodes.mem", "segments.mem", "ways.mem", "relations.mem"};

namespace {

// The layouts the library writes (sizes in bytes).
const std::uint64_t nodesHeader = 16, nodeSize = 12;
const std::uint64_t segmentsHeader = 12, segmentSize = 20;
const std::uint64_t waysHeader = 12, waySize = 16;
const std::uint64_t relationsHeader = 4, relationSize = 16;
const std::uint32_t none = 0xffffffffu;
// A bin is 1/1024 radian; the world is ±π/2 by ±π.
const int latBinLimit = 1609, lonBinLimit = 3217;
const int highwayTypes = 13;
// Node flags: super-node, U-turn, mini-roundabout, turn restriction (the
// library then looks for the node's turn relations), next to one, kept
// from pruning. Other bits are no flag of this version.
const std::uint16_t knownNodeFlags = 0xfc00, turnRestricted = 0x1000;

std::uint32_t u32(const unsigned char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
std::uint16_t u16(const unsigned char* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
std::int16_t i16(const unsigned char* p)
{
    std::int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

struct Counts {
    std::uint64_t size[fileCount] = {};
    std::uint32_t nodes = 0, segments = 0, ways = 0, relations = 0;
};

bool fail(std::string* why, File file, const std::string& text)
{
    if (why)
        *why = std::string(fileNames[file]) + ": " + text;
    return false;
}

bool readAt(int fd, std::uint64_t at, void* out, std::size_t n)
{
    return pread(fd, out, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n);
}

bool headers(const int fds[fileCount], Counts* c, std::string* why)
{
    const std::uint64_t least[fileCount] = {nodesHeader, segmentsHeader, waysHeader, relationsHeader};
    for (int f = 0; f < fileCount; ++f) {
        struct stat st;
        if (fstat(fds[f], &st) != 0 || !S_ISREG(st.st_mode))
            return fail(why, File(f), "not a regular file");
        c->size[f] = static_cast<std::uint64_t>(st.st_size);
        if (c->size[f] < least[f])
            return fail(why, File(f), "shorter than its header (truncated?)");
    }
    unsigned char h[16] = {};
    if (!readAt(fds[segments], 0, h, 12))
        return fail(why, segments, "cannot be read");
    c->segments = u32(h);
    if (u32(h + 4) > c->segments || u32(h + 8) > c->segments ||
        segmentsHeader + std::uint64_t(c->segments) * segmentSize != c->size[segments])
        return fail(why, segments, "its size does not match its header (damaged, truncated or another version)");
    if (!readAt(fds[ways], 0, h, 4))
        return fail(why, ways, "cannot be read");
    c->ways = u32(h);
    if (waysHeader + std::uint64_t(c->ways) * waySize >= c->size[ways])
        return fail(why, ways, "its size does not match its header (damaged, truncated or another version)");
    if (!readAt(fds[relations], 0, h, 4))
        return fail(why, relations, "cannot be read");
    c->relations = u32(h);
    if (relationsHeader + std::uint64_t(c->relations) * relationSize != c->size[relations])
        return fail(why, relations, "its size does not match its header (damaged, truncated or another version)");
    return true;
}

bool checkNodes(int fd, const Counts& c, const std::vector<std::uint32_t>& vias, RouteArea* area, std::string* why)
{
    unsigned char h[16] = {};
    if (!readAt(fd, 0, h, 16))
        return fail(why, nodes, "cannot be read");
    const std::uint32_t number = u32(h), super = u32(h + 4);
    const std::uint64_t latBins = u16(h + 8), lonBins = u16(h + 10);
    const int latZero = i16(h + 12), lonZero = i16(h + 14);
    const std::uint64_t bins = latBins * lonBins;
    if (bins == 0 || super > number || nodesHeader + (bins + 1) * 4 + std::uint64_t(number) * nodeSize != c.size[nodes])
        return fail(why, nodes, "its size does not match its header (damaged, truncated or another version)");
    if (latZero < -latBinLimit || latZero + int(latBins) > latBinLimit + 1 || lonZero < -lonBinLimit ||
        lonZero + int(lonBins) > lonBinLimit + 1)
        return fail(why, nodes, "its area lies outside the world");
    std::vector<std::uint32_t> offsets(bins + 1);
    RecordStream offsetStream(fd, nodesHeader, 4);
    for (std::uint64_t b = 0; b <= bins; ++b) {
        unsigned char v[4];
        if (!offsetStream.next(v))
            return fail(why, nodes, "cannot be read");
        offsets[b] = u32(v);
        if ((b == 0 && offsets[b] != 0) || (b > 0 && offsets[b] < offsets[b - 1]) || offsets[b] > number)
            return fail(why, nodes, "its bins are out of order");
    }
    if (offsets[bins] != number)
        return fail(why, nodes, "its bins do not hold every node");
    RecordStream stream(fd, nodesHeader + (bins + 1) * 4, nodeSize);
    const double unit = 180.0 / M_PI / 1024.0 / 65536.0;
    std::uint64_t bin = 0;
    for (std::uint32_t i = 0; i < number; ++i) {
        unsigned char n[nodeSize];
        if (!stream.next(n))
            return fail(why, nodes, "cannot be read");
        const std::uint32_t first = u32(n);
        if (first >= c.segments)
            return fail(why, nodes, "a node names a segment that does not exist");
        const std::uint16_t flags = u16(n + 10);
        if ((flags & ~knownNodeFlags) != 0 ||
            ((flags & turnRestricted) && !std::binary_search(vias.begin(), vias.end(), i)))
            return fail(why, nodes, "a node has flags this version does not know or a turn restriction without relations");
        while (offsets[bin + 1] <= i)
            ++bin;
        const std::int64_t lat = (std::int64_t(latZero) + std::int64_t(bin % latBins)) * 65536 + u16(n + 4);
        const std::int64_t lon = (std::int64_t(lonZero) + std::int64_t(bin / latBins)) * 65536 + u16(n + 6);
        area->add(double(lat) * unit, double(lon) * unit);
    }
    return true;
}

bool checkSegments(int fd, const Counts& c, std::string* why)
{
    RecordStream stream(fd, segmentsHeader, segmentSize);
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < c.segments; ++i) {
        unsigned char s[segmentSize];
        if (!stream.next(s))
            return fail(why, segments, "cannot be read");
        const std::uint32_t node1 = u32(s), node2 = u32(s + 4), next = u32(s + 8), way = u32(s + 12);
        if (node1 >= c.nodes || node2 >= c.nodes || way >= c.ways)
            return fail(why, segments, "a segment names a node or way that does not exist");
        if (node1 < previous || (next != none && (next <= i || next >= c.segments)))
            return fail(why, segments, "its segments are out of order");
        previous = node1;
    }
    return true;
}

bool checkWays(int fd, const Counts& c, std::string* why)
{
    const std::uint64_t namesAt = waysHeader + std::uint64_t(c.ways) * waySize;
    const std::uint64_t names = c.size[ways] - namesAt;
    unsigned char last = 1;
    if (!readAt(fd, c.size[ways] - 1, &last, 1) || last != 0)
        return fail(why, ways, "its names do not end (truncated?)");
    RecordStream stream(fd, waysHeader, waySize);
    for (std::uint32_t i = 0; i < c.ways; ++i) {
        unsigned char w[waySize];
        if (!stream.next(w))
            return fail(why, ways, "cannot be read");
        const int type = w[6] & 0x1f;
        if (u32(w) >= names || type < 1 || type > highwayTypes)
            return fail(why, ways, "a way has an unknown type or a name outside the names");
    }
    return true;
}

// `vias` gets the nodes the relations turn at, in order.
bool checkRelations(int fd, const Counts& c, std::vector<std::uint32_t>* vias, std::string* why)
{
    RecordStream stream(fd, relationsHeader, relationSize);
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < c.relations; ++i) {
        unsigned char r[relationSize];
        if (!stream.next(r))
            return fail(why, relations, "cannot be read");
        const std::uint32_t from = u32(r), via = u32(r + 4), to = u32(r + 8);
        if (from >= c.segments || to >= c.segments || via >= c.nodes || via < previous)
            return fail(why, relations, "a turn relation names a segment or node that does not exist");
        previous = via;
        vias->push_back(via);
    }
    return true;
}

} // namespace

bool checkFiles(const int fds[fileCount], RouteArea* area, std::string* why)
{
    Counts c;
    if (!headers(fds, &c, why))
        return false;
    unsigned char h[4] = {};
    if (!readAt(fds[nodes], 0, h, 4))
        return fail(why, nodes, "cannot be read");
    c.nodes = u32(h);
    RouteArea box;
    std::vector<std::uint32_t> vias;
    if (!checkRelations(fds[relations], c, &vias, why) || !checkNodes(fds[nodes], c, vias, &box, why) ||
        !checkSegments(fds[segments], c, why) || !checkWays(fds[ways], c, why))
        return false;
    if (c.nodes == 0)
        return fail(why, nodes, "holds no roads");
    *area = box;
    return true;
}

bool checkFolder(const std::string& dir, RouteArea* area, std::string* why)
{
    int fds[fileCount];
    int opened = 0;
    for (; opened < fileCount; ++opened) {
        fds[opened] = SafeFile::openRegular(dir + "/" + fileNames[opened]);
        if (fds[opened] < 0)
            break;
    }
    bool ok = opened == fileCount;
    if (!ok && why)
        *why = std::string(fileNames[opened]) + ": missing or not a regular file";
    if (ok)
        ok = checkFiles(fds, area, why);
    for (int f = 0; f < opened; ++f)
        close(fds[f]);
    return ok;
}

bool headerArea(const std::string& dir, RouteArea* area, std::string* why)
{
    const int fd = SafeFile::openRegular(dir + "/" + fileNames[nodes]);
    if (fd < 0)
        return fail(why, nodes, "missing or not a regular file");
    unsigned char h[16] = {};
    const bool read = readAt(fd, 0, h, 16);
    close(fd);
    const int latBins = u16(h + 8), lonBins = u16(h + 10), latZero = i16(h + 12), lonZero = i16(h + 14);
    if (!read || latBins == 0 || lonBins == 0)
        return fail(why, nodes, "shorter than its header (truncated?)");
    const double bin = 180.0 / M_PI / 1024.0;
    RouteArea box;
    box.add(latZero * bin, lonZero * bin);
    box.add((latZero + latBins) * bin, (lonZero + lonBins) * bin);
    *area = box;
    return true;
}

} // namespace RouteDataCheck
