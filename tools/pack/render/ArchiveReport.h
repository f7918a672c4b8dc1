#ifndef TESSEL_PACK_ARCHIVEREPORT_H
#define TESSEL_PACK_ARCHIVEREPORT_H

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

// `tessel-pack info` and `check` for an MBTiles or PMTiles archive: kind,
// tile format, name, attribution, bounds, centre and each level's tiles and
// extent; every directory walked and every tile decoded.
namespace ArchiveReport {

// False with *error when the archive cannot be read.
bool write(const std::string& path, std::ostream& out, std::string* error);

// Opens the archive, walks every directory and decodes every stored tile
// (a run once), reporting each level's tiles and undecodable ones; true
// only for a sound archive.
bool check(const std::string& path, std::ostream& report, const std::function<void(std::uint64_t)>& progress);

} // namespace ArchiveReport

#endif
