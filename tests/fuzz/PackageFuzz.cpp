// Fuzz target for opening a package: the input is a map.conf over a small
// fixed package directory (loose Google and Seznam tiles and packed parts
// of one layer); an accepted package is panned, zoomed and saved.
#include "Map.h"
#include "PackedMap.h"

#include <SDL.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::string bmpTile(int shade)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 256, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, static_cast<Uint8>(shade), 80, 160));
    std::vector<char> buffer(300000);
    SDL_RWops* out = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    SDL_SaveBMP_RW(s, out, 0);
    const int size = SDL_RWtell(out);
    SDL_RWclose(out);
    SDL_FreeSurface(s);
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

void put(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string madeDirectory;

void removeDirectory()
{
    nftw(madeDirectory.c_str(), [](const char* path, const struct stat*, int, FTW*) { return std::remove(path); }, 16,
         FTW_DEPTH | FTW_PHYS);
}

// The package directory, made once: level 10 of area (0..3, 0..3) and
// level 9 of (0..1, 0..1) in both namings, and part files of level 10.
std::string packageDirectory()
{
    char name[] = "/tmp/tessel-package-fuzz-XXXXXX";
    if (!mkdtemp(name))
        std::abort();
    madeDirectory = name;
    std::atexit(removeDirectory);
    const std::string dir = madeDirectory + "/";
    mkdir((dir + "sat").c_str(), 0755);
    mkdir((dir + "base").c_str(), 0755);
    std::vector<std::string> level;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::string tile = bmpTile(x * 60 + y);
            level.push_back((x + y) % 3 ? tile : std::string());
            put(dir + "sat/v=sat&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&zoom=10", tile);
            put(dir + "base/10_" + std::to_string(x) + "000_" + std::to_string(y) + "000", tile);
            if (x < 2 && y < 2)
                put(dir + "sat/v=sat&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&zoom=9", tile);
        }
    std::string error;
    PackedMap::writeLevel(dir, "sat", 10, level, 3 * level[1].size(), &error);
    return dir;
}

SDL_Surface* screen()
{
    static SDL_Surface* s = nullptr;
    if (!s) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        s = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string dir = packageDirectory();
    SDL_Surface* target = screen();
    put(dir + "map.conf", std::string(reinterpret_cast<const char*>(data), size));
    Map map;
    if (!map.create(target, dir + "map.conf"))
        return 0;
    map.move(300, -200);
    map.draw();
    map.zoomOut();
    map.move(-5000, 70000);
    map.zoomIn();
    map.zoomIn();
    map.setBg(1);
    map.setOverlay(0);
    map.draw();
    map.saveLastPosition();
    return 0;
}
