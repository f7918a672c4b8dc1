#ifndef TESSEL_PACK_WORLD_H
#define TESSEL_PACK_WORLD_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

// The demo packages: the whole Earth from equirectangular imagery, and a
// small synthetic package with Seznam numbering.
namespace World {

// Longitude and latitude (degrees) of the world pixel (gx, gy) of the Web
// Mercator world at level z (256 * 2^z pixels a side; pixel centres).
void lonLatOf(double gx, double gy, int z, double* lon, double* lat);

// The Web Mercator world at level z resampled (bilinear) from an
// equirectangular picture (360 x 180 degrees) in 24-bit R, G, B order.
SDL_Surface* reproject(SDL_Surface* equirect, int z);

// A transparent overlay of the world at level z: a graticule every 30
// degrees (10 from level 2) with degree labels in `font`.
SDL_Surface* graticule(int z, TTF_Font* font);

// The Earth package: packed, Google numbering, levels 0 to maxZoom, the
// backgrounds "sat" (day) and "sat-night" (night lights) and the overlay
// "wat" (graticule). `dir` must not exist.
bool makeEarth(const std::string& dir, const std::string& dayImage, const std::string& nightImage,
               const std::string& fontFile, int maxZoom, std::string* error);

// A small loose package with Seznam numbering: backgrounds "base" and
// "turist" and the overlay "ttur", levels 12 and 13, drawn from a made-up
// landscape. `dir` must not exist.
bool makeSample(const std::string& dir, const std::string& fontFile, std::string* error);

} // namespace World

#endif
