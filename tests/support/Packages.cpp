#include "Packages.h"

#include "Codecs.h"
#include "PackedMap.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>

namespace {

SDL_Surface* rgbaSurface(int size)
{
    return Codecs::newRgba(size, size);
}

void putPixel(SDL_Surface* s, int x, int y, Uint8 r, Uint8 g, Uint8 b, Uint8 a)
{
    Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
    row[x] = SDL_MapRGBA(s->format, r, g, b, a);
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void makeDirs(const std::string& path)
{
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            mkdir(path.substr(0, i).c_str(), 0755);
}

std::string looseName(const TestLayer& s, int x, int y)
{
    char name[160];
    if (s.scheme == Scheme::google) {
        std::snprintf(name, sizeof name, "v=%s&x=%i&y=%i&zoom=%i", s.layer.c_str(), s.beginX + x, s.beginY + y, s.zoom);
    } else {
        const int step = 1 << (16 - s.zoom);
        std::snprintf(name, sizeof name, "%i_%x000_%x000", s.zoom, static_cast<unsigned>(s.beginX + x * step),
                      static_cast<unsigned>(s.endY - (y + 1) * step));
    }
    return s.dir + s.layer + "/" + name;
}

} // namespace

SDL_Surface* makeTile(int id, int size)
{
    SDL_Surface* s = rgbaSurface(size);
    SDL_LockSurface(s);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            putPixel(s, x, y, static_cast<Uint8>((id % 32) * 8), static_cast<Uint8>((x / 4) * 4),
                     static_cast<Uint8>((y / 8) * 8), 255);
    SDL_UnlockSurface(s);
    return s;
}

SDL_Surface* makeOverlayTile(int size)
{
    SDL_Surface* s = rgbaSurface(size);
    SDL_LockSurface(s);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool inside = x >= 96 && x < 160 && y >= 96 && y < 160;
            putPixel(s, x, y, 255, 255, 255, inside ? 255 : 0);
        }
    SDL_UnlockSurface(s);
    return s;
}

std::string encodePng(SDL_Surface* surface)
{
    return Codecs::encodePng(surface);
}

std::string tilePng(int id, int size)
{
    SDL_Surface* t = makeTile(id, size);
    std::string bytes = encodePng(t);
    SDL_FreeSurface(t);
    return bytes;
}

void writeLayer(const TestLayer& s)
{
    makeDirs(s.dir + s.layer);
    const std::string overlayBytes = [&] {
        if (!s.overlay)
            return std::string();
        SDL_Surface* o = makeOverlayTile();
        std::string bytes = encodePng(o);
        SDL_FreeSurface(o);
        return bytes;
    }();
    std::vector<std::string> packed(static_cast<std::size_t>(s.w * s.h));
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const int index = x + s.w * y;
            if (std::find(s.skip.begin(), s.skip.end(), index) != s.skip.end())
                continue;
            const std::string bytes = s.overlay ? overlayBytes : tilePng(index + s.idBase);
            if (s.packed)
                packed[static_cast<std::size_t>(index)] = bytes;
            else
                writeBytes(looseName(s, x, y), bytes);
        }
    if (s.packed) {
        std::string error;
        if (PackedMap::writeLevel(s.dir, s.layer, s.zoom, packed, s.partLimit, &error) < 0)
            throw std::runtime_error(error);
    }
}

TestLayer layerOf(const std::string& dir, const std::string& layer, int w, int h)
{
    TestLayer made;
    made.dir = dir;
    made.layer = layer;
    made.zoom = 10;
    made.w = w;
    made.h = h;
    return made;
}

void writeSamplePackage(const std::string& dir, const std::string& caption, bool packed)
{
    struct {
        const char* name;
        int zoom, w, h, idBase;
        bool overlay;
    } layers[] = {
        {"sat", 10, 6, 4, 0, false}, {"wab", 10, 6, 4, 10, false}, {"wat", 10, 6, 4, 0, true}, {"sat", 11, 3, 2, 20, false},
    };
    for (const auto& l : layers) {
        TestLayer made = layerOf(dir, l.name, l.w, l.h);
        made.zoom = l.zoom;
        made.idBase = l.idBase;
        made.overlay = l.overlay;
        made.packed = packed;
        writeLayer(made);
    }
    writeBytes(dir + "map.conf", "caption=" + caption + "\napi=google\npacked=" + (packed ? "yes" : "no") +
                                     "\ntype=sat\ntype=wab\noverlay=wat\nzoom=10\nzoom=11\nzoom_actual=10\n"
                                     "begin_x=0\nbegin_y=0\nend_x=6\nend_y=4\n"
                                     "pos_x=1\npos_y=1\nmove_x=260\nmove_y=170\n");
}

void writeImage(const std::string& path, int w, int h, Uint8 r, Uint8 g, Uint8 b)
{
    SDL_Surface* s = Codecs::newRgba(w, h);
    SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, r, g, b, 255));
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        makeDirs(path.substr(0, slash));
    writeBytes(path, encodePng(s));
    SDL_FreeSurface(s);
}

void writeMissingTileImage(const std::string& path)
{
    writeImage(path, 256, 256, 255, 0, 255);
}
