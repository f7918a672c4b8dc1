#ifndef TESSEL_CONTOURPAINTER_H
#define TESSEL_CONTOURPAINTER_H

#include "Contours.h"

#include <cairo.h>
#include <string>
#include <vector>

// Where a major line's height is written: centred at (x, y), turned by
// `angle` (radians, so that it reads left to right).
struct ContourLabel {
    float x = 0, y = 0, angle = 0;
    std::string text;
};

// Contour lines drawn with cairo onto any surface the caller gives (a cell
// of `size` pixels): thin minor lines, stronger major ones with their
// heights along them. A label is placed only where it lies wholly inside
// the cell, so none is cut at a seam.
namespace ContourPainter {

struct Style {
    double red = 0.55, green = 0.35, blue = 0.15; // brown
    double minorWidth = 0.6, majorWidth = 1.3;
    double fontSize = 9;
};

// The labels of the major lines: at most one per line, at the middle of
// its length, where the line is long enough for its text.
std::vector<ContourLabel> labels(cairo_t* cr, const std::vector<ContourLine>& lines, int size, const Style& style);
void draw(cairo_t* cr, const std::vector<ContourLine>& lines, int size, const Style& style);

} // namespace ContourPainter

#endif
