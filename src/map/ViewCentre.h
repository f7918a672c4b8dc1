#ifndef TESSEL_VIEWCENTRE_H
#define TESSEL_VIEWCENTRE_H

// The point of the map at the centre of the view: a tile in area
// coordinates and a pixel from that tile's top left. The pixel may lie
// beyond the tile (a saved position keeps the pixel of the grid's first
// cell); placing the view reduces it.
struct ViewCentre {
    int tileX = 0, tileY = 0;
    int pixelX = 0, pixelY = 0;

    bool operator==(const ViewCentre& o) const
    {
        return tileX == o.tileX && tileY == o.tileY && pixelX == o.pixelX && pixelY == o.pixelY;
    }
    // The pixel distance from the area's first tile (64 bits: tile numbers
    // from a file may be large).
    long long pixelsX(int tileSize) const { return static_cast<long long>(tileX) * tileSize + pixelX; }
    long long pixelsY(int tileSize) const { return static_cast<long long>(tileY) * tileSize + pixelY; }
    // The point at pixel distance (x, y) from the area's first tile, the
    // tile numbers kept within ±2^30 so placement cannot overflow.
    static ViewCentre atPixels(long long x, long long y, int tileSize);
    // The same point on an area `f` times finer (`in`) or coarser.
    ViewCentre scaled(int f, bool in, int tileSize) const;
    // The same point when the level changes by `f` and the area's first
    // tile moves from world tile `from` to `to` (levels with areas of
    // their own).
    ViewCentre rebased(const long long from[2], const long long to[2], int f, bool in, int tileSize) const;
};

#endif
