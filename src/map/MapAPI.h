#ifndef TESSEL_MAPAPI_H
#define TESSEL_MAPAPI_H

#include "LayerSource.h"
#include "PackedMap.h"
#include "TileImage.h"
#include "TileRequest.h"
#include "ViewCentre.h"

#include <SDL.h>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

class ConfParser;
class TileReader;

// One cell of the viewport's grid, in area coordinates (0, 0 is the first
// column and top row of the package area at the current zoom level).
struct Tile {
    int x = 0;
    int y = 0;
    // The picture shown: in the viewport's grid it is `image`'s surface; a
    // surface from MapAPI::loadTileImage is its caller's.
    SDL_Surface* surface = nullptr;
    std::shared_ptr<TileImage> image;
    CellKey key;
    bool ready = false; // false while a stand-in shows and the tile is on its way
};

// One layer of a package.
struct MapType {
    std::string name; // empty: no layer
};

// A map source: the package description, its area and zoom levels, the
// layers shown, and tiles ready for the display. GoogleAPI and SeznamAPI
// supply the addressing of the two tile numberings, ArchiveAPI that of an
// MBTiles or PMTiles file read in place.
class MapAPI {
public:
    explicit MapAPI(ConfParser* conf);
    virtual ~MapAPI();

    // The source a package description asks for: GoogleAPI for "api" google,
    // SeznamAPI for anything else.
    static std::unique_ptr<MapAPI> forPackage(ConfParser* conf);
    // The source of the package at `path`: an MBTiles or PMTiles file read
    // in place (its position file beside it read into *candidate), else the
    // scheme the description at `path` names. Null when it is refused: the
    // reason, in a few words, goes to *why and to standard error.
    // An archive without a saved level opens at the deepest one whose
    // bounds fit a view of viewWidth x viewHeight pixels.
    static std::unique_ptr<MapAPI> open(const std::string& path, ConfParser* candidate, std::string* why = nullptr,
                                        int viewWidth = 320, int viewHeight = 240);
    // The source a package description asks for, or null with why it is
    // refused in *problem: the texts the viewer and the toolbox both give.
    static std::unique_ptr<MapAPI> forDescription(ConfParser* conf, std::string* problem);
    // Why a description cannot be a package (empty, a key missing, a layer
    // that is not a folder name); empty when it can.
    static std::string descriptionProblem(const ConfParser& conf);
    // True when the description holds every key a package needs: "packed",
    // "type" (with a name), "zoom", "zoom_actual" and the four area keys;
    // else names the first missing one in *missing.
    static bool hasRequiredKeys(const ConfParser& conf, std::string* missing = nullptr);
    // False, naming the first bad one in *bad, when a layer ("type" or
    // "overlay") is not a single folder name: tiles are read and written
    // at <package>/<layer>/, never elsewhere.
    static bool layersAreFolderNames(const ConfParser& conf, std::string* bad);
    MapAPI(const MapAPI&) = delete;
    MapAPI& operator=(const MapAPI&) = delete;

    // One level closer / farther. Returns the scale factor between the two
    // levels (2 for adjacent ones), 0 at the last level (nothing changes).
    virtual int zoomIn() = 0;
    virtual int zoomOut() = 0;
    virtual int tileSize() const;
    // Writes the position and zoom level into map.conf. All or nothing:
    // false, with nothing changed, when a key is missing; false when the file
    // cannot be written; true when it was.
    virtual bool savePosition(const ViewCentre& at) = 0;
    // The language key under which a layer is shown in menus.
    virtual std::string typeAlias(const std::string& name) = 0;
    virtual void refreshCopyright();
    // Path of the loose tile file of `layer` at area position (x, y) of
    // level `level` (a position in zoomLevels).
    virtual std::string tileFileNameAt(const std::string& layer, int level, int x, int y) const = 0;
    std::string tileFileName(const std::string& layer, int x, int y) const { return tileFileNameAt(layer, zoom, x, y); }

    // The area at any level, and where it lies in the world's quadtree
    // numbering.
    using LevelArea = ::LevelArea;
    virtual LevelArea areaAt(int level) const = 0;
    // The Web Mercator level of `level`, for numberings that are Web
    // Mercator tiles; false for those on other planes.
    virtual bool mercatorLevel(int level, int* z) const;
    // Where the bytes of `layer`'s tile at area position (x, y) of `level`
    // are; none outside the area or without a layer.
    virtual TileRef tileRef(const MapType& layer, int level, int x, int y) const;
    // The background ("type") or overlay ("overlay") layers offered.
    virtual std::vector<std::string> layers(const char* key) const;
    // The background layer shown when the package opens, one of `offered`.
    virtual std::string startLayer(const std::vector<std::string>& offered) const { return offered.front(); }
    // Where a package opens: tile and pixel of the area at the current
    // level ("pos_x", "pos_y", "move_x", "move_y"). False: at the centre.
    virtual bool startPosition(ViewCentre* at) const;
    // True when levels have areas of their own (not one area scaled), so
    // the view keeps its centre across a zoom by world position.
    virtual bool worldAnchoredZoom() const { return false; }
    // 2 to the number of zoom steps between two levels; 0 when it does not
    // fit an int.
    int levelFactor(int from, int to) const;

    void setBg(std::string name);
    // What the user's choice of layer leaves in the position file at once
    // (an archive's light or dark style); nothing by default. False when it
    // could not be written.
    virtual bool keepLayerChoice() { return true; }
    // The sources shown: the background first, then the overlay when one
    // is chosen. Each holds this package, which must outlive them.
    virtual LayerList shownLayers() const;
    void setOverlay(std::string name);
    // Decodes `layer`'s tile at area position (x, y) of the current level
    // with SDL_image (the toolbox's and tests' view of a package; the viewer
    // goes through its tile pipeline); a new surface in *out.
    bool loadTileImage(const MapType& layer, int x, int y, SDL_Surface** out);

    // True while the area has at least one tile and the zoom level is known.
    bool valid() const;
    int zoomValue() const { return zoomLevels[static_cast<std::size_t>(zoom)]; }

    int beginX = 0, beginY = 0, endX = 0, endY = 0;
    int width = 0, height = 0;
    ConfParser* conf;
    std::string directory;
    bool packed = false;
    MapType bg;
    MapType overlay;
    std::vector<int> zoomLevels;
    int zoom = -1;
    std::string copyright;
    // The description's "attribution" as text; when given, it is shown
    // instead of the scheme's own credit.
    std::string attribution;

protected:
    // Reads "zoom" and "zoom_actual": zoomLevels without duplicates in the
    // scheme's order, zoom the position of the current level (-1 if absent).
    void readZoomLevels(bool descending);
    // Changes every key to its value, or none when one is missing (unless
    // `addMissing`); then saves.
    bool saveKeys(const std::vector<std::pair<std::string, int>>& values, bool addMissing = false);
    // `value` truncated toward zero; 0 when it is not a number or does not
    // fit an int (coordinates from a damaged map.conf).
    static int clampToInt(double value);

private:
    std::unique_ptr<TileReader> reader;
};

#endif
