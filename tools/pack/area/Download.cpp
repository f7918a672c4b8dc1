#include "Download.h"

#include "AreaMetadata.h"
#include "Codecs.h"
#include "Files.h"
#include "HttpHeaders.h"
#include "MBTilesArchive.h"
#include "MBTilesWriter.h"
#include "MvtReader.h"
#include "SafeFile.h"
#include "TileArchive.h"
#include "TileUrl.h"

#include <algorithm>
#include <cstdio>

namespace Download {

namespace {

// Work is made to last this often, so an interruption loses little.
const std::uint64_t commitEvery = 50;

struct Job {
    Fetcher& fetcher;
    const TileUrl& url;
    const Options& o;
    MBTilesWriter& file;
    Report& report;
    std::string sample; // a stored tile, for the format
};

// A picture the viewer decodes, or a vector tile it can draw.
bool decodable(const std::string& bytes)
{
    VectorTile tile;
    std::string why;
    return Codecs::decodable(bytes) || MvtReader::read(bytes, &tile, &why);
}

// One tile: stored, known absent, or skipped as undecodable (and asked for
// again by the next run: a server's passing fault must not lose a tile for
// good). False (with *error) when the server refuses or keeps failing: the
// run stops.
bool fetchTile(Job& job, int z, long long x, long long y, std::string* error)
{
    const std::string address = job.url.of(z, x, y);
    HttpReply reply;
    if (!job.fetcher.get(address, 0, 0, &reply, error, 16u << 20))
        return false;
    // An empty answer is how vector servers say a tile holds nothing.
    if (reply.status == 404 || reply.status == 410 || reply.status == 204 || (reply.status == 200 && reply.body.empty())) {
        ++job.report.absent;
        return job.file.markAbsent(z, x, y, error);
    }
    if (reply.status != 200) {
        *error = address + ": " +
                 (reply.status == 0 ? reply.failure
                                    : "HTTP " + std::to_string(reply.status) +
                                          (reply.status == 401 || reply.status == 403
                                               ? " (the server does not allow this download)"
                                               : ""));
        return false;
    }
    if (reply.tooLarge || HttpHeaders::isWebPage(reply.contentType) || !decodable(reply.body)) {
        ++job.report.undecodable;
        if (job.o.warn)
            job.o.warn("undecodable tile", address);
        return true;
    }
    if (job.sample.empty())
        job.sample = reply.body;
    ++job.report.fetched;
    return job.file.add(z, x, y, reply.body, error);
}

// A run stopped by the user or the server: what is left and how to go on.
bool stopped(Job& job, std::uint64_t total, std::uint64_t done, std::string* error)
{
    job.report.left = total - done;
    const std::string left = std::to_string(total - done) + " of " + std::to_string(total) +
                             " tiles left to ask for; the same command continues the download";
    if (job.o.interrupted && job.o.interrupted())
        *error = "interrupted with " + left;
    else
        *error += " (" + left + ")";
    return false;
}

bool fetchAll(Job& job, std::uint64_t total, std::string* error)
{
    std::uint64_t done = 0;
    for (int z = job.o.zoomMin; z <= job.o.zoomMax; ++z)
        for (const TileRect& r : job.o.box.tiles(z))
            for (long long y = r.minY; y <= r.maxY; ++y)
                for (long long x = r.minX; x <= r.maxX; ++x) {
                    if (job.o.interrupted && job.o.interrupted())
                        return stopped(job, total, done, error);
                    if (job.file.known(z, x, y))
                        ++job.report.known;
                    else if (!fetchTile(job, z, x, y, error))
                        return stopped(job, total, done, error);
                    if (++done % commitEvery == 0 && !job.file.commit(error))
                        return false;
                    if (job.o.progress)
                        job.o.progress(done, total);
                }
    return true;
}

// The earlier run's rows, with this run's area, levels and names.
std::map<std::string, std::string> metadataOf(Job& job, std::map<std::string, std::string> rows)
{
    AreaMetadata::Extent e;
    const AreaBox& b = job.o.box;
    e.west = b.crossesDateLine() ? -180 : b.west;
    e.east = b.crossesDateLine() ? 180 : b.east;
    e.south = b.south;
    e.north = b.north;
    e.minZoom = job.o.zoomMin;
    e.maxZoom = job.o.zoomMax;
    e.centreLon = (e.west + e.east) / 2;
    e.centreLat = (e.south + e.north) / 2;
    e.centreZoom = job.o.zoomMin;
    if (job.sample.empty())
        job.file.sampleTile(&job.sample);
    for (const auto& row :
         AreaMetadata::jsonToRows("{}", e, AreaMetadata::formatOf(AreaMetadata::tileTypeOf("", job.sample))))
        if (row.first != "name")
            rows[row.first] = row.second;
    if (!job.o.name.empty() || !rows.count("name"))
        rows["name"] = job.o.name.empty() ? job.url.host() : job.o.name;
    if (!job.o.attribution.empty())
        rows["attribution"] = job.o.attribution;
    return rows;
}

} // namespace

std::uint64_t tileCount(const Options& o)
{
    std::uint64_t n = 0;
    for (int z = o.zoomMin; z <= o.zoomMax && n <= o.maxTiles; ++z)
        n += static_cast<std::uint64_t>(o.box.tileCount(z));
    return n;
}

bool run(Fetcher& fetcher, const std::string& urlTemplate, const std::string& output, const Options& o,
         Report* report, std::string* error)
{
    TileUrl url;
    if (!url.parse(urlTemplate, error))
        return false;
    const std::uint64_t total = tileCount(o);
    if (total > o.maxTiles) {
        *error = "the area holds more than " + std::to_string(o.maxTiles) + " tiles at these levels; ask for fewer";
        return false;
    }
    if (total > o.askAbove && !(o.confirm && o.confirm(total))) {
        *error = "not confirmed";
        return false;
    }
    const bool continuing = SafeFile::present(output);
    if (continuing && !MBTilesWriter::madeHere(output)) {
        *error = output + " exists and was not made by tessel-pack download; choose another name";
        return false;
    }
    const std::string working = continuing ? output : output + ".part";
    if (!continuing && SafeFile::present(working) && !MBTilesWriter::madeHere(working)) {
        *error = working + " exists and was not made by tessel-pack download; remove it";
        return false;
    }
    std::map<std::string, std::string> earlier;
    if (SafeFile::present(working)) {
        const std::unique_ptr<MBTilesArchive> before =
            MBTilesArchive::open(working, error, TileArchive::Reading::tilesOnly, MBTilesArchive::maxQuerySteps, o.interrupted);
        if (!before || !before->metadataRows(&earlier, error))
            return false;
    }
    MBTilesWriter file;
    if (!file.open(working, false, error))
        return false;
    Job job{fetcher, url, o, file, *report, std::string()};
    bool fetched = fetchAll(job, total, error);
    if (fetched && !file.sampleTile(&job.sample)) {
        *error = "no tile was stored (" + std::to_string(report->undecodable) + " undecodable, " +
                 std::to_string(report->absent) + " absent); the server may not serve tiles at this address";
        fetched = false;
    }
    std::string closing;
    const bool closed = file.setMetadata(metadataOf(job, earlier), &closing) && file.close(&closing);
    if (!closed && fetched)
        *error = closing;
    if (!fetched || !closed)
        return false;
    report->complete = true;
    if (!continuing && std::rename(working.c_str(), output.c_str()) != 0) {
        *error = output + ": cannot be written";
        return false;
    }
    SafeFile::syncDirectoryOf(output);
    return true;
}

} // namespace Download
