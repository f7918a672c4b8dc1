#ifndef TESSEL_TILEREADER_H
#define TESSEL_TILEREADER_H

#include "PackedMap.h"
#include "TileArchive.h"
#include "TileRequest.h"

#include <ext/stdio_filebuf.h>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Reads the encoded bytes of tiles: loose files, or packed part files whose
// headers are read once per level and kept, so the part holding an index is
// found by its own range and a missing or broken part hides only its own
// tiles. Not shared between threads: each reader keeps its own open file.
class TileReader {
public:
    // Parts probed past the last one found before a level is taken as
    // complete (a gap of missing parts may sit in the middle).
    static constexpr int partGap = 8;
    static constexpr int maxParts = 4096;

    bool read(const TileRef& ref, std::string* bytes);
    // Archives are opened once per reader and kept.
    static constexpr std::size_t maxArchivesOpen = 4;
    // Forgets every level (another package was opened).
    void clear();

private:
    struct Part {
        int number = 0;
        PackedMap::Header header;
    };
    struct Level {
        std::vector<Part> parts;
    };

    const Level& level(const TileRef& ref);
    bool readPacked(const TileRef& ref, std::string* bytes);
    bool readArchive(const TileRef& ref, std::string* bytes);
    std::istream* openPart(const std::string& name);

    std::map<std::string, Level> levels;
    std::string openName;
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> openBuffer; // owns the descriptor
    std::unique_ptr<std::istream> openFile;
    std::map<std::string, std::unique_ptr<TileArchive>> archives;
};


#endif
