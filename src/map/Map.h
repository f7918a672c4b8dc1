#ifndef TESSEL_MAP_H
#define TESSEL_MAP_H

#include "ConfParser.h"
#include "MapAPI.h"
#include "TilePipeline.h"

#include <SDL.h>
#include <memory>
#include <string>
#include <vector>

// The viewport: a grid of loaded tiles a little larger than the screen, with
// the screen as a window that slides over it. When the window would leave
// the grid, one column or row is recycled and only that one is loaded.
class Map {
public:
    // Layers listed past this many are ignored (no package has nearly so
    // many; a damaged description may have thousands).
    static constexpr std::size_t maxLayers = 64;

    // No package open: nothing is drawn and every operation does nothing.
    Map();
    Map(SDL_Surface* screen, std::string path);
    ~Map();
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Opens the package described by `path` (maps/<package>/map.conf).
    // A package without "packed", "type", "zoom", "zoom_actual" or an area
    // key, whose "zoom_actual" is not one of its "zoom" values, or whose area
    // is empty, is refused: false, and the package open before stays.
    // An MBTiles or PMTiles file (recognised by its first bytes) is opened
    // in place; a refusal says why on standard error.
    bool create(SDL_Surface* screen, std::string path);
    // Frees every tile and empties the grid.
    void destroy();
    // The direction (dx, dy) scaled to the length `speed`.
    void moveDistance(int dx, int dy, int speed, int* outX, int* outY);
    // Slides the view by whole pixels, shifting the grid as often as needed;
    // false when the last axis moved was stopped at the end of the area.
    bool move(int dx, int dy);
    bool new_col(bool left);
    bool new_row(bool up);
    // Draws the tiles of the view (the attribution is the program's).
    void draw();
    void getCenterCoords(int* tileX, int* tileY, int* pixelX, int* pixelY);
    void setCenterCoords(int tileX, int tileY, int pixelX, int pixelY);
    bool zoomIn();
    bool zoomOut();
    bool saveLastPosition();
    bool setBg(int index);
    bool setOverlay(int index);
    std::vector<std::string> aliasedBgList();
    std::vector<std::string> aliasedOverlayList();

    // The Web Mercator level shown; false without a package or for
    // numberings on other planes.
    bool mercatorLevel(int* z) const;
    // Puts a longitude and latitude at the screen's centre (Web Mercator
    // packages only; the view stays inside the area as always).
    bool centreOn(double lon, double lat);
    // The world pixel position, at the level shown, of screen point (x, y).
    void worldPixel(double x, double y, double* wx, double* wy) const;

    // True once a package is open.
    bool loaded() const { return !tiles.empty(); }
    // Puts tiles the loader finished into the grid; true when the view
    // changed. Called once per frame.
    bool update();
    // missing_tiles: ancestors (true) or the placeholder for missing tiles;
    // what stood in for missing tiles is made again under the new choice,
    // the tiles that exist stay cached.
    void setMissingParents(bool parents);

    SDL_Surface* screen = nullptr;
    ConfParser conf;
    std::vector<Tile> tiles;
    std::unique_ptr<MapAPI> api;
    int viewWidth = 0, viewHeight = 0;
    std::vector<std::string> bgTypes;
    std::vector<std::string> overlayTypes;
    int tileSize = 0;
    int mapWidth = 0, mapHeight = 0;
    int offsetX = 0, offsetY = 0;
    int cols = 0, rows = 0;
    // The cache, the loader and the stand-ins behind the grid's cells.
    TilePipeline pipeline;
    // The way the view last moved, for loading ahead of it.
    int headingX = 0, headingY = 0;

private:
    static int gridSize(int view, int tile);
    bool keepCentreAcrossZoom(int f, bool in);
    bool slide(bool across, int* d);
    void keepWorldCentreAcrossZoom(int f, bool in);
    // The menu labels (language keys) of layer names.
    std::vector<std::string> aliases(const std::vector<std::string>& names) const;
    bool jump(int dx, int dy);
    void reloadTile(Tile* tile);
    void reloadAll();
    // Tells the loader which cells to work on, nearest to the view first.
    void requestCells();
};

#endif
