#ifndef TESSEL_MAP_H
#define TESSEL_MAP_H

#include "ConfParser.h"
#include "LaidArchives.h"
#include "LonLat.h"
#include "MapAPI.h"
#include "TilePipeline.h"
#include "ViewCentre.h"
#include "ViewGrid.h"

#include <SDL.h>
#include <memory>
#include <string>
#include <vector>

// The viewport: the cells of a `ViewGrid` (tiles a little beyond the
// screen) filled from the map source through the tile pipeline. When the
// view would leave the grid, one column or row is recycled and only that one
// is loaded.
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
    // in place; a refusal says why in *why.
    bool create(SDL_Surface* screen, std::string path, std::string* why = nullptr);
    // Frees every tile and empties the grid.
    void destroy();
    // The direction (dx, dy) scaled to the length `speed`.
    void moveDistance(int dx, int dy, int speed, int* outX, int* outY);
    // Slides the view by whole pixels, shifting the grid as often as needed;
    // false when the last axis moved was stopped at the end of the area.
    bool move(int dx, int dy);
    // Draws the tiles of the view (the attribution is the program's).
    void draw();
    // The point at the screen's centre (nothing open: the default value).
    ViewCentre centre() const;
    // Puts `centre` at the screen's centre, as near as the area allows.
    void setCentre(ViewCentre centre);
    bool zoomIn();
    bool zoomOut();
    bool saveLastPosition();
    // Shows background `index`; *kept is false when the choice the package
    // keeps at once (an archive's light or dark) could not be written.
    bool setBg(int index, bool* kept = nullptr);
    bool setOverlay(int index);
    std::vector<std::string> aliasedBgList();
    // The archives beside the open map that may be laid over it (none over
    // a map on another plane than Web Mercator's).
    std::vector<std::string> offeredArchives() const;
    // Lays archive `file` of the maps folder over the map at `opacity`
    // percent (0 takes it off) and keeps the choice in the position file.
    // False with *why when it cannot be opened; *kept false when the choice
    // could not be written.
    bool layArchive(const std::string& file, int opacity, std::string* why, bool* kept = nullptr);
    // The sources shown, the base first.
    LayerList shownLayers() const;
    // The credit lines of every source shown, joined.
    const std::string& credits() const { return creditLine; }
    std::vector<std::string> aliasedOverlayList();

    // The Web Mercator level shown; false without a package or for
    // numberings on other planes.
    bool mercatorLevel(int* z) const;
    // Puts a longitude and latitude at the screen's centre (Web Mercator
    // packages only; the view stays inside the area as always).
    bool centreOn(double lon, double lat);
    // The world pixel position, at the level shown, of screen point (x, y).
    void worldPixel(double x, double y, double* wx, double* wy) const;
    // Where a longitude and latitude lies on the screen, in pixels from its
    // top-left corner (off the screen too); false without a package or for
    // numberings on other planes.
    bool toScreen(const LonLat& at, double* x, double* y) const;
    // The level shown and the world pixel position of the screen's top-left
    // corner, for points projected once per level (tracks); false as above.
    bool screenOrigin(int* z, double* x, double* y) const;

    // True once a package is open.
    bool loaded() const { return !tiles.empty(); }
    // Puts tiles the loader finished into the grid; true when the view
    // changed. Called once per frame.
    bool update();
    // missing_tiles: ancestors (true) or the placeholder for missing tiles;
    // what stood in for missing tiles is made again under the new choice,
    // the tiles that exist stay cached.
    void setMissingParents(bool parents);
    // The pictures made again: how they are drawn changed (the labels'
    // language), not the tiles.
    void redrawPictures();

    SDL_Surface* screen = nullptr;
    ConfParser conf;
    // What the last create() brought back after an interrupted save, for the
    // program to tell; empty when nothing.
    std::string recoveryNote;
    std::vector<Tile> tiles;
    std::unique_ptr<MapAPI> api;
    std::vector<std::string> bgTypes;
    std::vector<std::string> overlayTypes;
    // Archives laid over the package's own layers.
    LaidArchives laid;
    // Which area tiles the cells hold and where the screen lies over them.
    ViewGrid grid;
    // The cache, the loader and the stand-ins behind the grid's cells.
    TilePipeline pipeline;
    // The way the view last moved, for loading ahead of it.
    int headingX = 0, headingY = 0;

private:
    bool keepCentreAcrossZoom(int f, bool in);
    // Keeps the cells in step with a grid that moved one column or row.
    void recycleColumn(bool left);
    void recycleRow(bool up);
    // Fills every cell anew from the grid's origin.
    void fillCells();
    // The menu labels (language keys) of layer names.
    std::vector<std::string> aliases(const std::vector<std::string>& names) const;
    void reloadTile(Tile* tile);
    void reloadAll();
    // Tells the loader which cells to work on, nearest to the view first.
    void requestCells();
    // Hands the shown layers to the pipeline and makes the credit line.
    void showLayers();

    std::string folder;     // where the maps are (archives laid over come from there)
    std::string ownFile;    // the base's own file name there, for an archive
    std::string creditLine;
};

#endif
