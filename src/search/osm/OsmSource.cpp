#include "OsmSource.h"

#include "IndexWriter.h"
#include "OsmTags.h"
#include "PbfFraming.h"
#include "SafeFile.h"
#include "Spool.h"
#include "Varint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <osmium/io/pbf_input.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::int64_t noPosition = INT64_MIN;

OsmTags::Tags tagsOf(const osmium::TagList& list)
{
    OsmTags::Tags tags;
    for (const osmium::Tag& t : list)
        if (tags.size() < 256)
            tags.emplace_back(t.key(), t.value());
    return tags;
}

std::int64_t pack(std::int32_t lat, std::int32_t lon)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(lat)) << 32 |
                                     static_cast<std::uint32_t>(lon));
}

void putText(std::string* out, const std::string& s)
{
    Varint::put(out, s.size());
    *out += s;
}

bool getText(const unsigned char** p, const unsigned char* end, std::string* s)
{
    std::uint64_t n = 0;
    if (!Varint::get(p, end, &n) || n > static_cast<std::uint64_t>(end - *p))
        return false;
    s->assign(reinterpret_cast<const char*>(*p), static_cast<std::size_t>(n));
    *p += n;
    return true;
}

// A found thing and where it stands: a node's position, or the node that stands for a way.
std::string record(const OsmTags::Found& f, std::int64_t where)
{
    std::string r;
    Varint::putSigned(&r, where);
    Varint::put(&r, (f.street ? 1u : 0u) | (f.isPlace ? 2u : 0u));
    putText(&r, f.entry.kind);
    putText(&r, f.entry.place);
    Varint::put(&r, f.entry.names.size());
    for (const std::string& n : f.entry.names)
        putText(&r, n);
    return r;
}

bool parse(const std::string& r, OsmTags::Found* f, std::int64_t* where)
{
    const auto* p = reinterpret_cast<const unsigned char*>(r.data());
    const unsigned char* end = p + r.size();
    std::uint64_t flags = 0, count = 0;
    if (!Varint::getSigned(&p, end, where) || !Varint::get(&p, end, &flags) || !getText(&p, end, &f->entry.kind) ||
        !getText(&p, end, &f->entry.place) || !Varint::get(&p, end, &count) || count > 64)
        return false;
    f->street = flags & 1;
    f->isPlace = flags & 2;
    f->entry.names.resize(static_cast<std::size_t>(count));
    for (std::string& n : f->entry.names)
        if (!getText(&p, end, &n))
            return false;
    return true;
}

} // namespace

OsmSource::OsmSource(IndexWriter* w, const std::string& dir) : writer(w), scratch(dir) {}

bool OsmSource::stopped(std::string* why) const
{
    if (interrupted && interrupted()) {
        *why = "interrupted";
        return true;
    }
    return false;
}

bool OsmSource::readFile(const std::string& path, std::string* why)
{
    const int fd = SafeFile::openRegular(path);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        if (fd >= 0)
            close(fd);
        *why = path + ": not a readable file";
        return false;
    }
    const auto read = [fd](std::uint64_t at, std::size_t size, std::string* bytes) {
        bytes->assign(size, '\0');
        return pread(fd, &(*bytes)[0], size, static_cast<off_t>(at)) == static_cast<ssize_t>(size);
    };
    const bool framed = PbfFraming::check(read, static_cast<std::uint64_t>(info.st_size), why);
    close(fd);
    if (!framed) {
        *why = "not an OpenStreetMap PBF file, or cut short (" + *why + ")";
        return false;
    }
    return run([&] { return osmium::io::File(path, "pbf"); }, why);
}

bool OsmSource::readBytes(const char* data, std::size_t size, std::string* why)
{
    const auto read = [data, size](std::uint64_t at, std::size_t length, std::string* bytes) {
        if (at > size || size - at < length)
            return false;
        bytes->assign(data + at, length);
        return true;
    };
    if (!PbfFraming::check(read, size, why)) {
        *why = "not an OpenStreetMap PBF file, or cut short (" + *why + ")";
        return false;
    }
    return run([&] { return osmium::io::File(data, size, "pbf"); }, why);
}

bool OsmSource::run(const std::function<osmium::io::File()>& file, std::string* why)
{
    Spool ways, nodes;
    if (!ways.open(scratch) || !nodes.open(scratch)) {
        *why = "no room for scratch files in " + scratch;
        return false;
    }
    try {
        if (!readRelations(file(), why) || !readWays(file(), &ways, why))
            return false;
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        positions.assign(wanted.size(), noPosition);
        if (!readNodes(file(), &nodes, why))
            return false;
    } catch (const std::exception& e) {
        *why = std::string("not an OpenStreetMap PBF file, or cut short (") + e.what() + ")";
        return false;
    }
    return hand(&ways, true, why) && hand(&nodes, false, why);
}

// Named areas drawn as multipolygon or boundary relations: each stands at
// the middle node of its first outer way, found in the ways' pass.
bool OsmSource::readRelations(const osmium::io::File& file, std::string* why)
{
    osmium::io::Reader reader(file, osmium::osm_entity_bits::relation);
    std::vector<OsmTags::Found> found;
    while (osmium::memory::Buffer buffer = reader.read()) {
        for (const osmium::Relation& relation : buffer.select<osmium::Relation>()) {
            const char* type = relation.tags()["type"];
            if (!type || (std::strcmp(type, "multipolygon") != 0 && std::strcmp(type, "boundary") != 0) ||
                relations >= maxRelations)
                continue;
            const osmium::RelationMember* outer = nullptr;
            for (const osmium::RelationMember& m : relation.members())
                if (m.type() == osmium::item_type::way && (!outer || std::strcmp(m.role(), "outer") == 0)) {
                    outer = &m;
                    if (std::strcmp(m.role(), "outer") == 0)
                        break;
                }
            if (!outer)
                continue;
            found.clear();
            OsmTags::classify(tagsOf(relation.tags()), true, &found);
            for (const OsmTags::Found& f : found)
                if (!f.street) {
                    memberWays[outer->ref()].push_back(f);
                    ++relations;
                }
        }
        if (progress)
            progress(reader.offset() / 3, reader.file_size());
        if (stopped(why))
            return false;
    }
    reader.close();
    return true;
}

bool OsmSource::readWays(const osmium::io::File& file, Spool* ways, std::string* why)
{
    osmium::io::Reader reader(file, osmium::osm_entity_bits::way);
    std::vector<OsmTags::Found> found;
    while (osmium::memory::Buffer buffer = reader.read()) {
        for (const osmium::Way& way : buffer.select<osmium::Way>()) {
            if (way.nodes().empty())
                continue;
            const auto member = memberWays.find(way.id());
            if (member != memberWays.end()) {
                const std::int64_t node = way.nodes()[way.nodes().size() / 2].ref();
                wanted.push_back(node);
                for (const OsmTags::Found& f : member->second)
                    ways->write(record(f, node));
                memberWays.erase(member);
            }
            if (way.tags().empty())
                continue;
            found.clear();
            OsmTags::classify(tagsOf(way.tags()), true, &found);
            if (found.empty())
                continue;
            const std::int64_t node = way.nodes()[way.nodes().size() / 2].ref();
            wanted.push_back(node);
            for (const OsmTags::Found& f : found)
                ways->write(record(f, node));
        }
        if (progress)
            progress(reader.file_size() / 3 + reader.offset() / 3, reader.file_size());
        if (stopped(why))
            return false;
    }
    reader.close();
    return true;
}

bool OsmSource::readNodes(const osmium::io::File& file, Spool* nodes, std::string* why)
{
    osmium::io::Reader reader(file, osmium::osm_entity_bits::node);
    std::vector<OsmTags::Found> found;
    while (osmium::memory::Buffer buffer = reader.read()) {
        for (const osmium::Node& node : buffer.select<osmium::Node>()) {
            const osmium::Location at = node.location();
            if (!at.valid())
                continue;
            const std::int32_t lat = static_cast<std::int32_t>(std::lround(at.lat() * 1e6));
            const std::int32_t lon = static_cast<std::int32_t>(std::lround(at.lon() * 1e6));
            const auto w = std::lower_bound(wanted.begin(), wanted.end(), node.id());
            if (w != wanted.end() && *w == node.id())
                positions[static_cast<std::size_t>(w - wanted.begin())] = pack(lat, lon);
            if (node.tags().empty())
                continue;
            found.clear();
            OsmTags::classify(tagsOf(node.tags()), false, &found);
            for (const OsmTags::Found& f : found) {
                if (f.isPlace)
                    finder.add(f.entry.names.front(), f.entry.kind, at.lat(), at.lon());
                nodes->write(record(f, pack(lat, lon)));
            }
        }
        if (progress)
            progress(reader.file_size() / 3 * 2 + reader.offset() / 3, reader.file_size());
        if (stopped(why))
            return false;
    }
    reader.close();
    return true;
}

// The spooled things, placed, to the writer.
bool OsmSource::hand(Spool* spool, bool fromWays, std::string* why)
{
    if (!spool->rewind()) {
        *why = "cannot read back a scratch file";
        return false;
    }
    std::string r;
    while (spool->read(&r)) {
        OsmTags::Found f;
        std::int64_t where = 0;
        if (!parse(r, &f, &where))
            continue;
        if (fromWays) {
            const auto w = std::lower_bound(wanted.begin(), wanted.end(), where);
            where = w != wanted.end() && *w == where ? positions[static_cast<std::size_t>(w - wanted.begin())] : noPosition;
            if (where == noPosition) {
                ++unplaced;
                continue;
            }
        }
        f.entry.lat = static_cast<std::int32_t>(static_cast<std::uint64_t>(where) >> 32) / 1e6;
        f.entry.lon = static_cast<std::int32_t>(static_cast<std::uint32_t>(where)) / 1e6;
        if (f.entry.place.empty() && !(f.isPlace && PlaceFinder::reach(f.entry.kind) > 0))
            f.entry.place = finder.find(f.entry.lat, f.entry.lon, f.isPlace ? f.entry.names.front() : std::string());
        if (f.street) {
            writer->addStreet(f.entry);
            ++streets;
        } else {
            writer->add(f.entry);
            ++(f.isPlace ? places : f.entry.kind == "address" ? addresses : pois);
        }
    }
    if (spool->failed()) {
        *why = "cannot read back a scratch file";
        return false;
    }
    return true;
}
