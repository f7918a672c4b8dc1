#include "World.h"

#include "Mercator.h"

#include "Codecs.h"
#include "ConfParser.h"
#include "Failure.h"
#include "Files.h"
#include "Package.h"
#include "SafeFile.h"
#include "SeznamAPI.h"

#include <SDL_image.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <cstring>

namespace World {

namespace {

const double maxLatitude = 85.0511287798;

struct Rgba {
    Uint8 r, g, b, a;
};

Uint8* pixel(SDL_Surface* s, int x, int y)
{
    return static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
}

// Paints `c` over the pixel of an R, G, B, A surface (source over).
void blend(SDL_Surface* s, int x, int y, Rgba c)
{
    if (x < 0 || y < 0 || x >= s->w || y >= s->h || c.a == 0)
        return;
    Uint8* p = pixel(s, x, y);
    const int a = c.a, rest = 255 - a;
    const int outA = a + p[3] * rest / 255;
    if (outA == 0)
        return;
    const Uint8 src[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<Uint8>((src[i] * a + p[i] * p[3] * rest / 255) / outA);
    p[3] = static_cast<Uint8>(outA);
}

// Text rendered by SDL_ttf, painted over an R, G, B, A surface with a dark
// shadow so that it reads on any background.
void drawLabel(SDL_Surface* target, TTF_Font* font, const std::string& text, int x, int y, Rgba colour)
{
    if (!font)
        return;
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 0});
    if (!glyphs)
        return;
    SDL_LockSurface(glyphs);
    for (int pass = 0; pass < 2; ++pass)
        for (int gy = 0; gy < glyphs->h; ++gy)
            for (int gx = 0; gx < glyphs->w; ++gx) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(*reinterpret_cast<Uint32*>(pixel(glyphs, gx, gy)), glyphs->format, &r, &g, &b, &a);
                const Rgba c = pass == 0 ? Rgba{0, 0, 0, static_cast<Uint8>(a * 3 / 4)}
                                         : Rgba{colour.r, colour.g, colour.b, static_cast<Uint8>(a * colour.a / 255)};
                blend(target, x + gx + (pass == 0 ? 1 : 0), y + gy + (pass == 0 ? 1 : 0), c);
            }
    SDL_UnlockSurface(glyphs);
    SDL_FreeSurface(glyphs);
}

double mercatorY(double lat, double size)
{
    const double rad = lat * M_PI / 180.0;
    return (1.0 - std::log(std::tan(rad) + 1.0 / std::cos(rad)) / M_PI) / 2.0 * size;
}

std::string degrees(int value, const char* positive, const char* negative)
{
    if (value == 0)
        return "0°";
    return std::to_string(std::abs(value)) + "°" + (value > 0 ? positive : negative);
}

// Cuts a world surface into 256-pixel tiles of level z, encoded as `format`.
void cut(SDL_Surface* world, int z, bool jpeg, TileSet* set)
{
    const int n = 1 << z;
    for (int ty = 0; ty < n; ++ty)
        for (int tx = 0; tx < n; ++tx) {
            SDL_Surface* tile = jpeg ? Codecs::newRgb(256, 256) : Codecs::newRgba(256, 256);
            SDL_LockSurface(world);
            SDL_LockSurface(tile);
            for (int y = 0; y < 256; ++y)
                std::memcpy(pixel(tile, 0, y), pixel(world, tx * 256, ty * 256 + y),
                            static_cast<std::size_t>(256 * tile->format->BytesPerPixel));
            SDL_UnlockSurface(tile);
            SDL_UnlockSurface(world);
            set->tiles[TileKey{z, tx, ty}] = jpeg ? Codecs::encodeJpeg(tile, 88) : Codecs::encodePng(tile);
            SDL_FreeSurface(tile);
        }
}

// An image file as 24-bit R, G, B.
SDL_Surface* loadRgb(const std::string& file)
{
    SDL_Surface* loaded = IMG_Load(file.c_str());
    if (!loaded)
        return nullptr;
    SDL_Surface* reference = Codecs::newRgb(1, 1);
    SDL_Surface* rgb = SDL_ConvertSurface(loaded, reference->format, SDL_SWSURFACE);
    SDL_FreeSurface(reference);
    SDL_FreeSurface(loaded);
    return rgb;
}

} // namespace

void lonLatOf(double gx, double gy, int z, double* lon, double* lat)
{
    Mercator::toLonLat(gx + 0.5, gy + 0.5, z, lon, lat);
}

SDL_Surface* reproject(SDL_Surface* src, int z)
{
    const int size = 256 << z;
    SDL_Surface* world = Codecs::newRgb(size, size);
    SDL_LockSurface(src);
    SDL_LockSurface(world);
    for (int y = 0; y < size; ++y) {
        double lon, lat;
        lonLatOf(0, y, z, &lon, &lat);
        // Source row (pixel centres) and the two rows around it.
        const double v = std::max(0.0, std::min(src->h - 1.0, (90.0 - lat) / 180.0 * src->h - 0.5));
        const int v0 = static_cast<int>(v), v1 = std::min(v0 + 1, src->h - 1);
        const double fv = v - v0;
        for (int x = 0; x < size; ++x) {
            lonLatOf(x, y, z, &lon, &lat);
            double u = (lon + 180.0) / 360.0 * src->w - 0.5;
            if (u < 0)
                u += src->w;
            const int u0 = static_cast<int>(u) % src->w, u1 = (u0 + 1) % src->w; // the date line wraps
            const double fu = u - std::floor(u);
            Uint8* out = pixel(world, x, y);
            for (int c = 0; c < 3; ++c) {
                const double top = pixel(src, u0, v0)[c] * (1 - fu) + pixel(src, u1, v0)[c] * fu;
                const double bottom = pixel(src, u0, v1)[c] * (1 - fu) + pixel(src, u1, v1)[c] * fu;
                out[c] = static_cast<Uint8>(std::lround(top * (1 - fv) + bottom * fv));
            }
        }
    }
    SDL_UnlockSurface(world);
    SDL_UnlockSurface(src);
    return world;
}

SDL_Surface* graticule(int z, TTF_Font* font)
{
    const int size = 256 << z;
    const int step = z < 2 ? 30 : 10;
    SDL_Surface* world = Codecs::newRgba(size, size);
    SDL_FillRect(world, nullptr, 0);
    SDL_LockSurface(world);
    const Rgba line{255, 255, 255, 110}, main{255, 191, 0, 200};
    for (int lon = -180; lon < 180; lon += step) {
        const int x = static_cast<int>(std::lround((lon + 180.0) / 360.0 * size));
        for (int y = 0; y < size; ++y)
            blend(world, x, y, lon == 0 ? main : line);
    }
    for (int lat = -(80 / step) * step; lat <= 80; lat += step) {
        const int y = static_cast<int>(std::lround(mercatorY(lat, size)));
        for (int x = 0; x < size; ++x)
            blend(world, x, y, lat == 0 ? main : line);
    }
    // Labels: latitudes along the label meridians, longitudes along the
    // label parallels; more of them as the map gets larger.
    const int latLabelEvery = z == 0 ? 60 : z == 1 ? 30 : 10;
    const int lonLabelEvery = z == 0 ? 60 : z <= 2 ? 30 : 10;
    const int meridianEvery = z < 2 ? 360 : 90;
    const int parallelEvery = z < 2 ? 90 : 30;
    const Rgba text{255, 255, 255, 235};
    for (int lon = z < 2 ? 0 : -180; lon < 180; lon += meridianEvery) {
        const int x = static_cast<int>(std::lround((lon + 180.0) / 360.0 * size));
        for (int lat = -(80 / latLabelEvery) * latLabelEvery; lat <= 80; lat += latLabelEvery)
            drawLabel(world, font, degrees(lat, "N", "S"), x + 3, static_cast<int>(mercatorY(lat, size)) - 13, text);
    }
    for (int lat = -60; lat <= 60; lat += parallelEvery) {
        const int y = static_cast<int>(mercatorY(lat, size));
        for (int lon = -180; lon < 180; lon += lonLabelEvery)
            if (lon != 0 || lat != 0)
                drawLabel(world, font, degrees(lon, "E", "W"),
                          static_cast<int>((lon + 180.0) / 360.0 * size) + 3, y + 2, text);
    }
    SDL_UnlockSurface(world);
    return world;
}

bool makeEarth(const std::string& dir, const std::string& dayImage, const std::string& nightImage,
               const std::string& fontFile, int maxZoom, std::string* error)
{
    SDL_Surface* day = loadRgb(dayImage);
    SDL_Surface* night = loadRgb(nightImage);
    if (!day || !night) {
        if (day)
            SDL_FreeSurface(day);
        if (night)
            SDL_FreeSurface(night);
        return fail(error, "cannot read " + (day ? nightImage : dayImage));
    }
    if (!TTF_WasInit())
        TTF_Init();
    TileSet daySet, nightSet, gridSet;
    for (int z = 0; z <= maxZoom; ++z) {
        TTF_Font* font = TTF_OpenFont(fontFile.c_str(), z < 2 ? 8 : 10);
        for (auto pair : {std::make_pair(day, &daySet), std::make_pair(night, &nightSet)}) {
            SDL_Surface* world = reproject(pair.first, z);
            cut(world, z, true, pair.second);
            SDL_FreeSurface(world);
        }
        SDL_Surface* grid = graticule(z, font);
        cut(grid, z, false, &gridSet);
        SDL_FreeSurface(grid);
        if (font)
            TTF_CloseFont(font);
    }
    SDL_FreeSurface(day);
    SDL_FreeSurface(night);
    Package::ImportOptions options;
    options.packed = true;
    options.caption = "Earth (NASA Visible Earth)";
    options.attribution = "NASA Visible Earth";
    options.zoomActual = std::min(2, maxZoom); // opens on the whole world, four tiles across
    return Package::import({{&daySet, "sat", false}, {&nightSet, "sat-night", false}, {&gridSet, "wat", true}},
                           options, dir, error);
}

// --- the Seznam sample

namespace {

// Height of the made-up landscape at a point of the Seznam plane.
double height(double u, double v)
{
    return std::sin(u * 0.63) * std::cos(v * 0.51) + 0.6 * std::sin((u + 2 * v) * 0.27 + 1.3) +
           0.3 * std::cos(u * 1.71 - v * 1.29);
}

// Distance of a point to the sample's trail, a wavy line across the area.
double trailDistance(double u, double v, double base)
{
    return std::fabs(v - (base + 14 + 5 * std::sin((u - base) * 0.3)));
}

Rgba sampleColour(const std::string& layer, double u, double v, double pixelUnits, double base)
{
    const double h = height(u, v);
    if (layer == "ttur") {
        const bool onTrail = trailDistance(u, v, base) < 1.6 * pixelUnits;
        const bool dash = std::fmod(u, 4.0) < 2.6;
        return onTrail && dash ? Rgba{214, 40, 40, 235} : Rgba{0, 0, 0, 0};
    }
    // Contour lines every 0.25 of height: where the band changes between
    // this pixel and its right or lower neighbour.
    const double band = std::floor(h * 4);
    const bool contour = band != std::floor(height(u + pixelUnits, v) * 4) ||
                         band != std::floor(height(u, v - pixelUnits) * 4);
    if (layer == "base") {
        const Uint8 shade = static_cast<Uint8>(226 + 18 * std::tanh(h));
        return contour ? Rgba{176, 140, 100, 255} : Rgba{shade, static_cast<Uint8>(shade - 4), static_cast<Uint8>(shade - 22), 255};
    }
    const double green = 0.5 + 0.25 * std::tanh(h);
    const Uint8 g = static_cast<Uint8>(120 + 90 * green);
    return contour ? Rgba{90, 110, 60, 255} : Rgba{static_cast<Uint8>(g * 0.62), g, static_cast<Uint8>(g * 0.55), 255};
}

} // namespace

bool makeSample(const std::string& dir, const std::string& fontFile, std::string* error)
{
    if (SafeFile::present(dir))
        return fail(error, dir + " exists already");
    const std::string built = Files::withoutSlash(dir) + ".partial";
    Files::removeTree(built);
    const std::string root = built + "/";
    bool ok = Files::makeDir(built);
    for (const char* layer : {"base", "turist", "ttur"})
        ok = ok && Files::makeDir(root + layer);
    const char* conf = "# Made by tessel-pack sample: a made-up landscape.\n"
                       "caption=\"Sample valley (Seznam numbering)\"\napi=seznam\npacked=no\n"
                       "type=base\ntype=turist\noverlay=ttur\nzoom=12\nzoom=13\nzoom_actual=13\n"
                       "begin_x=8800\nbegin_y=8800\nend_x=8830\nend_y=8820\n"
                       "pos_x=2\npos_y=1\nmove_x=128\nmove_y=128\n";
    ok = ok && Files::writeBytes(root + "map.conf", conf);
    if (!TTF_WasInit())
        TTF_Init();
    TTF_Font* font = TTF_OpenFont(fontFile.c_str(), 11);
    for (int level = 0; ok && level < 2; ++level) {
        ConfParser description(root + "map.conf", 1);
        SeznamAPI api(&description);
        if (level == 0)
            api.zoomOut();
        const double step = std::ldexp(1.0, 16 - api.zoomValue());
        const double base = api.beginY;
        for (int ty = 0; ok && ty < api.height; ++ty)
            for (int tx = 0; ok && tx < api.width; ++tx)
                for (const char* layer : {"base", "turist", "ttur"}) {
                    const bool overlay = std::string(layer) == "ttur";
                    SDL_Surface* tile = Codecs::newRgba(256, 256);
                    SDL_LockSurface(tile);
                    for (int y = 0; y < 256; ++y)
                        for (int x = 0; x < 256; ++x) {
                            const double u = api.beginX + (tx + (x + 0.5) / 256.0) * step;
                            const double v = api.endY - (ty + (y + 0.5) / 256.0) * step;
                            const Rgba c = sampleColour(layer, u, v, step / 256.0, base);
                            Uint8* p = pixel(tile, x, y);
                            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
                        }
                    if (!overlay && tx == api.width / 2 && ty == api.height / 2)
                        drawLabel(tile, font, "Tessel valley", 70, 120, Rgba{60, 50, 40, 255});
                    SDL_UnlockSurface(tile);
                    ok = Files::writeBytes(api.tileFileName(layer, tx, ty), Codecs::encodePng(tile));
                    SDL_FreeSurface(tile);
                }
    }
    if (font)
        TTF_CloseFont(font);
    if (ok && std::rename(built.c_str(), Files::withoutSlash(dir).c_str()) == 0)
        return true;
    Files::removeTree(built);
    return fail(error, "cannot write the sample package to " + dir);
}

} // namespace World
