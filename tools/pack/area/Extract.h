#ifndef TESSEL_PACK_EXTRACT_H
#define TESSEL_PACK_EXTRACT_H

#include "AreaBox.h"
#include "Fetcher.h"

#include <functional>
#include <string>

// Cuts an area out of an archive: a local PMTiles or MBTiles file, or a
// PMTiles archive on a web server read by range requests. Every tile of
// the chosen levels whose extent meets the box is copied as stored into a
// new PMTiles or MBTiles file.
namespace Extract {

struct Options {
    AreaBox box;
    int zoomMin = -1, zoomMax = -1; // -1: the source's
    std::string format;             // "pmtiles" or "mbtiles"; empty: by the output's name
    Fetcher* fetcher = nullptr;     // reads addresses (http://, https://)
    // Reads of the data join spans this close (bytes), at most maxRead each.
    std::uint64_t gap = 256u << 10, maxRead = 16u << 20;
    std::function<bool()> interrupted;
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// True for http:// and https:// addresses.
bool isAddress(const std::string& source);

// Writes `output` (never over an existing file); false with *error, and
// nothing written, when anything fails or the run is interrupted.
bool run(const std::string& source, const std::string& output, const Options& options, std::uint64_t* tiles,
         std::string* error);

} // namespace Extract

#endif
