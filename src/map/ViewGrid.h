#ifndef TESSEL_VIEWGRID_H
#define TESSEL_VIEWGRID_H

#include "ViewCentre.h"

#include <functional>

// The geometry of the viewport, in plain integers: a grid of cols × rows
// cells a little larger than the view, whose top left cell is area tile
// (originX, originY), and the view as a window `offsetX`, `offsetY` pixels
// into it. A `bounded` grid stays inside the area (an area smaller than
// the grid starts at its first column or row); otherwise only the view's
// centre does, and cells beyond the area show the placeholder.
class ViewGrid {
public:
    enum class Axis { across, down };

    // A view of width × height pixels over square tiles of `tile` pixels.
    void resize(int width, int height, int tile);
    // The area's size in tiles (it changes with the level).
    void setArea(int width, int height);
    // Places the grid so that `centre` is at the view's centre, as near as
    // the area allows.
    void place(ViewCentre centre);
    // The point at the view's centre; its pixel counts from the origin tile.
    ViewCentre centre() const;
    // Slides the view along one axis by `d` pixels. Each column or row
    // that comes in moves the origin one cell and is reported to
    // `shifted(axis, back)`; the view stops at the area's end: false.
    bool slide(Axis axis, int d, const std::function<void(Axis, bool)>& shifted);
    // True when (dx, dy) is a move of many screens, better placed anew
    // than slid column by column.
    bool isFar(long long dx, long long dy) const;
    // Places the grid anew `dx`, `dy` pixels away; false when the view was
    // stopped at the area's edge.
    bool jump(int dx, int dy);
    // The view's top left in pixels from the area's first tile.
    long long viewLeft() const { return static_cast<long long>(originX) * tileSize + offsetX; }
    long long viewTop() const { return static_cast<long long>(originY) * tileSize + offsetY; }

    // True for packages, whose area is the map; false for archives, whose
    // levels have areas of their own that may be smaller than the screen.
    bool bounded = true;
    int viewWidth = 0, viewHeight = 0;
    int tileSize = 0;
    int cols = 0, rows = 0;
    int areaWidth = 0, areaHeight = 0;
    int originX = 0, originY = 0;
    int offsetX = 0, offsetY = 0;

private:
    static int cellsFor(int view, int tile);
    void placeAxis(int tile, int pixel, int view, int cells, int area, int* origin, int* offset) const;
    void placeCentreAxis(long long centre, int view, int area, int* origin, int* offset) const;
    // The distance `d` shortened so that the view's centre stays inside
    // the area (unbounded grids).
    int withinArea(Axis axis, int d) const;
    // Moves one column or row in (`back`: left or up), the view at the edge
    // it came from. False at the area's end.
    bool shift(Axis axis, bool back);
    bool slideWithin(Axis axis, int d, const std::function<void(Axis, bool)>& shifted);
};

#endif
