#ifndef TESSEL_ROUTEDATACHECK_H
#define TESSEL_ROUTEDATACHECK_H

#include "RouteArea.h"

#include <cstdint>
#include <string>

// The routing library maps its four files and follows every index in them
// without a check, so a damaged, truncated or foreign file would crash it.
// This reads them first, record by record through a small buffer (nothing
// is mapped, so checking costs no resident memory), and refuses any file
// whose sizes do not add up or whose indices leave their tables:
//   nodes.mem      header, the offsets of the node bins, the nodes (known
//                  flags only; one marked as turn-restricted has relations)
//   segments.mem   header, the segments (sorted by their first node; a
//                  segment's next link only ever points forward, so no walk
//                  through them can loop)
//   ways.mem       header, the ways (a known highway type, a name inside
//                  the names), the names (ending in a NUL)
//   relations.mem  header, the turn relations
// The files are in the byte order of the machine that wrote them; data
// from a machine of the other order fails these checks.
namespace RouteDataCheck {

enum File { nodes, segments, ways, relations, fileCount };
extern const char* const fileNames[fileCount];

// Checks the files open at `fds`; `area` gets the box of the nodes. False
// with the reason (naming the file) when any is not sound.
bool checkFiles(const int fds[fileCount], RouteArea* area, std::string* why);
// Opens the four files in `dir` (regular files only) and checks them.
bool checkFolder(const std::string& dir, RouteArea* area, std::string* why);
// The box the nodes file's header claims (its bins), read from the first
// bytes only: enough to choose among databases without reading them.
bool headerArea(const std::string& dir, RouteArea* area, std::string* why);

} // namespace RouteDataCheck

#endif
