#ifndef TESSEL_TEST_PACKAGES_H
#define TESSEL_TEST_PACKAGES_H

#include <SDL.h>
#include <string>
#include <vector>

// Test tiles: every pixel tells where it came from. Red is the tile's id
// (times 8), green the column inside the tile (in steps of 4), blue the row
// (in steps of 8), so a 16-bit screen pixel still names its tile and spot.
// Overlay tiles are transparent but for an opaque white square in the
// middle (96..159 on both axes).
SDL_Surface* makeTile(int id, int size = 256);
SDL_Surface* makeOverlayTile(int size = 256);
std::string encodePng(SDL_Surface* surface);
// makeTile(id, size) as PNG bytes.
std::string tilePng(int id, int size = 256);


// Writes the tiles of one layer at one level for an area of w x h tiles.
// ids are x + w * y + idBase. Loose tiles are named by `naming`; packed
// ones go to part files of at most partLimit bytes.
enum class Scheme { google, seznam };
struct TestLayer {
    std::string dir;       // the package directory, with a trailing '/'
    std::string layer;
    Scheme scheme = Scheme::google;
    int zoom = 0;
    int w = 0, h = 0;
    int beginX = 0, beginY = 0; // google: tile numbers; seznam: plane units (x), endY for rows
    int endY = 0;               // seznam only
    bool packed = false;
    bool overlay = false;
    int idBase = 0;
    unsigned long partLimit = 1u << 24;
    std::vector<int> skip;      // indices left out
};
void writeLayer(const TestLayer& layer);
// A Google-numbered layer of w x h tiles at level 10 from tile (0, 0).
TestLayer layerOf(const std::string& dir, const std::string& layer, int w, int h);

// A complete Google-numbered package in `dir` (with a trailing '/'):
// background layers "sat" (tile ids from 0) and "wab" (from 10), overlay
// "wat", 6 x 4 tiles at level 10 (3 x 2 at level 11, one step out, ids from 20), opened
// with the grid origin at (1, 1) and the view at (100, 50) in it.
void writeSamplePackage(const std::string& dir, const std::string& caption, bool packed);

// A PNG file of w x h in one opaque colour.
void writeImage(const std::string& path, int w, int h, Uint8 r, Uint8 g, Uint8 b);

// An image file for "media/na.png": a flat (255, 0, 255).
void writeMissingTileImage(const std::string& path);

#endif
