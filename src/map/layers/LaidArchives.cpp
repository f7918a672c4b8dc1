#include "LaidArchives.h"

#include "ArchiveOverlay.h"
#include "ConfParser.h"
#include "ElevationEncoding.h"
#include "SafeFile.h"
#include "StyleChooser.h"
#include "VectorRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>

std::string LaidArchives::folderOf(const std::string& path, bool archive, std::string* ownFile)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    *ownFile = archive ? path.substr(slash + 1) : std::string();
    if (archive)
        return dir;
    const std::size_t up = dir.rfind('/');
    return up == std::string::npos ? "." : dir.substr(0, up);
}

std::vector<std::string> LaidArchives::offered(const std::string& folder, const std::string& except)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        // A name with the separator could not be kept.
        if (name != except && name.find('|') == std::string::npos && TileArchive::hasArchiveName(name) &&
            !SafeFile::isDirectory(folder + "/" + name))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::shared_ptr<const ArchiveSource> LaidArchives::open(const std::string& path, std::string* why)
{
    const std::unique_ptr<TileArchive> archive = TileArchive::open(path, why);
    if (!archive)
        return nullptr;
    ArchiveInfo info = archive->info();
    if (info.levels.empty()) {
        *why = "no level with tiles";
        return nullptr;
    }
    std::string style;
    if (info.format == "pbf")
        style = StyleChooser::choose(path, StyleChooser::layersOf(info.metadataJson, info.sampleTile), "media/styles");
    const int deepest = info.levels.back().z;
    auto source = std::make_shared<ArchiveSource>(path, info.levels, style, deepest);
    source->overZoomLevels = style.empty() ? 0 : VectorRenderer::overzoomLevels;
    source->elevation = static_cast<int>(Elevations::encodingOf(info));
    if (source->elevation != 0)
        source->overZoomLevels = TileArchive::maxZoom - deepest;
    source->credit = info.attribution;
    return source;
}

void LaidArchives::read(const ConfParser& conf, const std::string& folder)
{
    laid.clear();
    std::string text;
    if (!conf.value(key, &text))
        return;
    std::size_t from = 0;
    while (from <= text.size() && laid.size() < maxLaid) {
        const std::size_t end = std::min(text.find('|', from), text.size());
        const std::string entry = text.substr(from, end - from);
        const std::size_t colon = entry.find(':');
        from = end + 1;
        if (colon == std::string::npos)
            continue;
        const int opacity = std::atoi(entry.substr(0, colon).c_str());
        std::string why;
        set(folder, entry.substr(colon + 1), opacity, &why);
    }
}

std::string LaidArchives::text() const
{
    std::string out;
    for (const Laid& l : laid)
        out += (out.empty() ? "" : "|") + std::to_string(l.opacity) + ":" + l.file;
    return out;
}

bool LaidArchives::set(const std::string& folder, const std::string& file, int opacity, std::string* why)
{
    const auto found = std::find_if(laid.begin(), laid.end(), [&](const Laid& l) { return l.file == file; });
    if (opacity <= 0 || opacity > 100) {
        if (found != laid.end())
            laid.erase(found);
        return true;
    }
    if (found != laid.end()) {
        found->opacity = opacity;
        return true;
    }
    if (laid.size() >= maxLaid || file.empty() || file.find('/') != std::string::npos ||
        !TileArchive::hasArchiveName(file)) {
        *why = "no more overlays";
        return false;
    }
    std::shared_ptr<const ArchiveSource> source = open(folder + "/" + file, why);
    if (!source)
        return false;
    laid.push_back(Laid{file, opacity, std::move(source)});
    return true;
}

int LaidArchives::opacityOf(const std::string& file) const
{
    for (const Laid& l : laid)
        if (l.file == file)
            return l.opacity;
    return 0;
}

int LaidArchives::nextStep(int current)
{
    for (int s : steps)
        if (s > current)
            return s;
    return 0;
}

void LaidArchives::layOver(const MapAPI* base, LayerList* shown) const
{
    for (const Laid& l : laid)
        shown->push_back({std::make_shared<ArchiveOverlay>(base, l.source), l.opacity});
}

std::string LaidArchives::creditsOf(const LayerList& shown)
{
    std::string line;
    std::vector<std::string> seen;
    for (const ShownLayer& layer : shown) {
        const std::string credit = layer.source->credits();
        if (credit.empty() || std::find(seen.begin(), seen.end(), credit) != seen.end())
            continue;
        seen.push_back(credit);
        line += (line.empty() ? "" : "; ") + credit;
    }
    return line;
}
