#include "Codecs.h"
#include "Failure.h"
#include "Files.h"
#include "SafeFile.h"
#include "TileSet.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

namespace TileSources {

namespace {

std::vector<std::string> entries(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* e = readdir(dir))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool wholeNumber(const std::string& text, int* value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::stoi(text);
    return true;
}

} // namespace

void walkFolder(const std::string& path, int onlyZ, const FolderVisitor& visit)
{
    for (const std::string& zName : entries(path)) {
        int z;
        if (!wholeNumber(zName, &z) || z > 30 || (onlyZ >= 0 && z != onlyZ) || !SafeFile::isDirectory(path + "/" + zName))
            continue;
        for (const std::string& xName : entries(path + "/" + zName)) {
            int x;
            if (!wholeNumber(xName, &x) || x >= (1 << z))
                continue;
            for (const std::string& file : entries(path + "/" + zName + "/" + xName)) {
                const std::size_t dot = file.find('.');
                int y;
                if (dot == std::string::npos || !wholeNumber(file.substr(0, dot), &y) || y >= (1 << z))
                    continue;
                if (!visit(z, x, y, path + "/" + zName + "/" + xName + "/" + file))
                    return;
            }
        }
    }
}

bool readFolder(const std::string& path, TileSet* set, std::string* error)
{
    if (!SafeFile::isDirectory(path))
        return fail(error, path + ": not a directory");
    walkFolder(path, -1, [&](int z, int x, int y, const std::string& tilePath) {
        std::string bytes;
        Files::readBytes(tilePath, &bytes);
        if (!Codecs::decodable(bytes))
            set->warnings.push_back(tilePath + ": not an image this viewer can decode, skipped");
        else
            set->tiles[TileKey{z, x, y}] = std::move(bytes);
        return true;
    });
    if (set->tiles.empty())
        return fail(error, path + ": no Z/X/Y tiles found");
    return true;
}

} // namespace TileSources
