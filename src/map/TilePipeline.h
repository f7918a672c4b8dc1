#ifndef TESSEL_TILEPIPELINE_H
#define TESSEL_TILEPIPELINE_H

#include "CellComposer.h"
#include "LayerSource.h"
#include "MapAPI.h"
#include "TileCache.h"
#include "TileLoader.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Where the viewport's cells get their pictures: the cache first, else a
// stand-in (the nearest cached ancestor's square scaled up, or the
// placeholder) while the loader makes the real one.
class TilePipeline {
public:
    enum class Mode {
        synchronous, // every request is worked before request() returns
        background,  // the loader's thread works them; update() collects
        manual,      // nothing runs until someone calls loader.step() (tests)
    };
    // Ancestor levels looked at for a stand-in.
    static constexpr int ancestorLevels = 4;

    TilePipeline();
    ~TilePipeline();
    TilePipeline(const TilePipeline&) = delete;
    TilePipeline& operator=(const TilePipeline&) = delete;

    void setMode(Mode mode);
    Mode mode() const { return current; }
    // `call` runs on the loader's thread whenever a picture is finished.
    void onFinished(std::function<void()> call);
    // missing_tiles=parent: a missing tile shows its nearest present ancestor.
    bool parents = true;

    // A package was opened showing `layers` (the base first) at `level` of
    // the base: earlier work is cancelled.
    void open(LayerList layers, int level, int tileSize);
    void close();
    // The shown layers changed: cells are looked up under the new choice.
    void layersChanged(LayerList layers);
    // The view shows another level of the base.
    void showLevel(int shown) { level = shown; }

    // Gives the cell at tile->x, tile->y of the current level its picture.
    void fill(Tile* tile);
    // The loader's work becomes the grid's cells that are not ready, nearest
    // to (centreX, centreY) in grid pixels first, then `ahead` (cells just
    // outside the grid the view moves toward). In synchronous mode they are
    // all finished here.
    void request(std::vector<Tile>* grid, int cols, int centreX, int centreY, const std::vector<Tile>& ahead);
    // Caches finished pictures and puts them into the cells waiting for
    // them; true when a cell of `grid` changed.
    bool update(std::vector<Tile>* grid);

    TileCache cache;
    // What the loader found wrong with tiles and styles, for the program to tell.
    MessageList reports;
    std::unique_ptr<CellComposer> composer;
    std::unique_ptr<TileLoader> loader;
    unsigned long cellsFilled = 0;

private:
    CellKey keyOf(int x, int y) const;
    bool inArea(int x, int y) const;
    TileRequest requestFor(const Tile& tile) const;
    std::shared_ptr<TileImage> standIn(const CellKey& key);
    // The coarser levels that may stand in, nearest first: (level, factor).
    std::vector<std::pair<int, int>> ancestorSteps() const;
    std::shared_ptr<const Bitmap> loadPlaceholder() const;
    void restartLoader();

    Mode current = Mode::synchronous;
    std::function<void()> finished;
    const LayerSource& base() const { return *shown.front().source; }

    LayerList shown; // empty while nothing is open
    int level = 0;
    int tileSize = 256;
    int package = 0;
    int source = 0;
    std::map<std::pair<int, std::string>, int> sources;
    std::shared_ptr<const Bitmap> placeholder;
    std::shared_ptr<TileImage> placeholderImage;
};

#endif
