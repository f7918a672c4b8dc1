#ifndef TESSEL_PACK_EXTRACTOUTPUT_H
#define TESSEL_PACK_EXTRACTOUTPUT_H

#include "AreaMetadata.h"
#include "MBTilesWriter.h"
#include "PMTilesWriter.h"
#include "TempOutput.h"

#include <memory>

// The archive an extract writes, PMTiles or MBTiles, under a temporary
// name until it is complete. Tiles come by PMTiles id (runs too), as
// stored; the extent of what was added is kept for the metadata.
class ExtractOutput {
public:
    enum class Kind { pmtiles, mbtiles };
    // The kind `format` names ("pmtiles", "mbtiles"), else the one the
    // path's ending names; false when neither says.
    static bool kindOf(const std::string& path, const std::string& format, Kind* kind);

    ExtractOutput(const std::string& path, Kind kind);
    bool open(std::string* error);
    bool add(std::uint64_t tileId, std::uint64_t run, const std::string& bytes, std::string* error);
    // Writes the metadata (the source's JSON with the extent), completes the
    // file and gives it its name. `header` carries tile type and compression.
    bool finish(const PMTiles::Header& header, const std::string& json, const AreaMetadata::Extent& extent,
                std::string* error);

    std::uint64_t tiles = 0;
    int minZoom = 31, maxZoom = -1;

private:
    Kind kind;
    TempOutput file;
    PMTilesWriter pmtiles;
    MBTilesWriter mbtiles;
};

#endif
