#ifndef TESSEL_PACK_DOWNLOAD_H
#define TESSEL_PACK_DOWNLOAD_H

#include "AreaBox.h"
#include "Fetcher.h"

#include <functional>
#include <string>

// Fetches the tiles of an area from a tile server into an MBTiles file,
// politely (the Fetcher paces and retries). The file is made under the
// name OUTPUT.part and renamed when every tile was asked for and one at
// least stored; running again continues it, asking only for tiles it
// neither holds nor knows to be absent (404): undecodable answers are asked
// for again. Pictures and vector tiles (MVT) are taken.
namespace Download {

struct Options {
    AreaBox box;
    int zoomMin = 0, zoomMax = 0;
    std::string attribution, name;
    // More tiles than this are fetched only when `confirm` agrees.
    std::uint64_t askAbove = 2000;
    std::uint64_t maxTiles = 5000000;
    std::function<bool(std::uint64_t tiles)> confirm;
    std::function<bool()> interrupted;
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    std::function<void(const std::string& kind, const std::string& text)> warn;
};

struct Report {
    std::uint64_t fetched = 0, absent = 0, undecodable = 0, known = 0;
    std::uint64_t left = 0; // not asked for when interrupted
    bool complete = false;
};

// The tiles the area holds at the levels asked for.
std::uint64_t tileCount(const Options& options);

bool run(Fetcher& fetcher, const std::string& urlTemplate, const std::string& output, const Options& options,
         Report* report, std::string* error);

} // namespace Download

#endif
