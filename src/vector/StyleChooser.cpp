#include "StyleChooser.h"

#include "MvtReader.h"
#include "VectorStyle.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace StyleChooser {

namespace {

const char* const fallback = "generic.json";

bool regularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> styleFiles(const std::string& dir)
{
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0)
                files.push_back(name);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

std::string overrideFor(const std::string& archivePath)
{
    return archivePath + ".style.json";
}

std::vector<std::string> layersOf(const std::string& metadataJson, const std::string& sampleTile)
{
    std::vector<std::string> layers;
    MvtReader::layerNames(sampleTile, &layers);
    if (!layers.empty())
        return layers;
    const nlohmann::json meta = nlohmann::json::parse(metadataJson, nullptr, false);
    if (meta.is_object() && meta.contains("vector_layers") && meta["vector_layers"].is_array())
        for (const nlohmann::json& l : meta["vector_layers"])
            if (l.is_object() && l.contains("id") && l["id"].is_string())
                layers.push_back(l["id"].get<std::string>());
    return layers;
}

std::string choose(const std::string& archivePath, const std::vector<std::string>& layers, const std::string& dir)
{
    if (regularFile(overrideFor(archivePath)))
        return overrideFor(archivePath);
    std::string best = dir + "/" + fallback;
    double bestShare = 0.5;
    for (const std::string& name : styleFiles(dir)) {
        VectorStyle style;
        std::string error;
        if (name == fallback || !VectorStyle::load(dir + "/" + name, &style, &error) || layers.empty())
            continue;
        const double known = static_cast<double>(std::count_if(layers.begin(), layers.end(), [&](const std::string& l) {
            return std::find(style.schema.begin(), style.schema.end(), l) != style.schema.end();
        }));
        if (known / layers.size() >= bestShare) {
            bestShare = known / layers.size() + 1e-9;
            best = dir + "/" + name;
        }
    }
    return best;
}

} // namespace StyleChooser
