#ifndef TESSEL_STYLECHOOSER_H
#define TESSEL_STYLECHOOSER_H

#include <string>
#include <vector>

// Which style draws an archive of vector tiles.
namespace StyleChooser {

// The file beside the archive that overrides the built-in styles.
std::string overrideFor(const std::string& archivePath);

// The source layers an archive's tiles hold: those of `sampleTile` (a
// tile's bytes: metadata copied from another archive may name others),
// else the ids of "vector_layers" in its metadata JSON.
std::vector<std::string> layersOf(const std::string& metadataJson, const std::string& sampleTile);

// The override when it exists; else the style in `dir` whose schema knows
// the largest share of `layers` (at least half); else dir/generic.json.
std::string choose(const std::string& archivePath, const std::vector<std::string>& layers, const std::string& dir);

} // namespace StyleChooser

#endif
