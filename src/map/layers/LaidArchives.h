#ifndef TESSEL_LAIDARCHIVES_H
#define TESSEL_LAIDARCHIVES_H

#include "ArchiveSource.h"

#include <memory>
#include <string>
#include <vector>

class ConfParser;
class MapAPI;

// Archives of the maps folder laid over the open map, in order, each with
// an opacity: raster, vector (drawn with its style) or elevation (shading
// and contours). The choice is kept in the base's position file under
// `key` as "<opacity>:<file>" entries joined by "|".
class LaidArchives {
public:
    static constexpr const char* key = "overlays";
    static constexpr std::size_t maxLaid = 4;
    // The opacities a choice steps through; 0 is not laid.
    static constexpr int steps[5] = {0, 25, 50, 75, 100};

    struct Laid {
        std::string file; // in the maps folder
        int opacity = 100;
        std::shared_ptr<const ArchiveSource> source;
    };

    // The maps folder of the map at `path` (an archive in it, or a
    // package's description a folder deeper), and an archive's own name.
    static std::string folderOf(const std::string& path, bool archive, std::string* ownFile);
    // The archive file names of `folder` that could be laid, `except` (the
    // base's own file name) left out, in name order.
    static std::vector<std::string> offered(const std::string& folder, const std::string& except);
    // `path` as a source; null with *why when it cannot be read.
    static std::shared_ptr<const ArchiveSource> open(const std::string& path, std::string* why);

    // The kept choice of `conf`, each archive opened from `folder`; one that
    // no longer opens is left out.
    void read(const ConfParser& conf, const std::string& folder);
    // The value kept under `key`.
    std::string text() const;
    // Lays `file` at `opacity` (0 takes it off), opened from `folder` when
    // new; false with *why when it cannot be opened.
    bool set(const std::string& folder, const std::string& file, int opacity, std::string* why);
    // The opacity `file` is laid at; 0 when it is not.
    int opacityOf(const std::string& file) const;
    // The opacity after `current` in `steps`, back to 0 after the last.
    static int nextStep(int current);

    // Appends the laid archives to `shown`, over `base`.
    void layOver(const MapAPI* base, LayerList* shown) const;
    // The credit lines of `shown`, each once, joined.
    static std::string creditsOf(const LayerList& shown);

    std::vector<Laid> laid;
};

#endif
