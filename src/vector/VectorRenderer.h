#ifndef TESSEL_VECTORRENDERER_H
#define TESSEL_VECTORRENDERER_H

#include "Bitmap.h"
#include "VectorStyle.h"
#include "VectorTile.h"

#include <string>
#include <vector>

// Which part of a data tile a picture shows: the square (subX, subY) of
// the 2^overZoom by 2^overZoom squares it is cut into (overZoom 0: all of
// it), drawn `size` pixels wide with the style at level `zoom`.
struct TileView {
    int size = 256;
    int zoom = 0;
    int overZoom = 0;
    long long subX = 0, subY = 0;
};

struct PlacedLabel {
    std::string text;
    double x = 0, y = 0, width = 0, height = 0; // the box it covers, halo included
    double angle = 0;                           // radians clockwise: along a line
};

// Draws a decoded tile with a style into an RGB565 picture through cairo:
// anti-aliased fills (holes by winding) and strokes, clipped to the
// picture (the tile's buffer beyond its edge makes neighbours join), then
// the point labels: most important first, none over another, none cut by
// the edge (a label that does not fit wholly is left to no tile), and the
// same text not twice nearby.
namespace VectorRenderer {

// Vector archives are shown this many levels past their deepest one.
const int overzoomLevels = 4;

// Labels nearer than this (pixels) with the same text are drawn once.
const double repeatDistance = 96;

// False (with *why, when given) when the tile asks more work than a
// picture may take (DrawingWork): it is given up half drawn.
bool draw(const VectorTile& tile, const VectorStyle& style, const TileView& view, Bitmap* out,
          std::vector<PlacedLabel>* labels = nullptr, std::string* why = nullptr);

} // namespace VectorRenderer

#endif
