#ifndef TESSEL_PACK_PLANETSPLITTER_H
#define TESSEL_PACK_PLANETSPLITTER_H

#include <functional>
#include <string>

// Debian's planetsplitter, run on an OpenStreetMap PBF extract into a
// folder with the shipped tagging rules; its log lines are handed to
// `status` as they come (its progress), and the last of them make the
// reason when it fails.
namespace PlanetSplitter {

extern const char* const program;
extern const char* const tagging;

// True when `path` begins as a PBF file does (a BlobHeader of type
// "OSMHeader"); otherwise false with the reason.
bool looksLikePbf(const std::string& path, std::string* why);
// Runs it; false with the reason (not installed, failed, interrupted).
bool run(const std::string& pbf, const std::string& dir, const std::function<void(const std::string&)>& status,
         const std::function<bool()>& interrupted, std::string* why);

} // namespace PlanetSplitter

#endif
