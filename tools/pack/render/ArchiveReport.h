#ifndef TESSEL_PACK_ARCHIVEREPORT_H
#define TESSEL_PACK_ARCHIVEREPORT_H

#include <ostream>
#include <string>

// `tessel-pack info` for an MBTiles or PMTiles archive: kind, tile format,
// name, attribution, bounds, centre and each level's tiles and extent.
namespace ArchiveReport {

// False with *error when the archive cannot be read.
bool write(const std::string& path, std::ostream& out, std::string* error);

} // namespace ArchiveReport

#endif
