#ifndef TESSEL_MAPUI_H
#define TESSEL_MAPUI_H

#include <SDL.h>
#include <string>
#include <vector>

class Lang;
class Map;
class Menu;

// Connects the map engine to the menu: the package list, the layer pages,
// and the centre cross.
class MapUI {
public:
    MapUI(Map* map, SDL_Surface* screen, Lang* lang);
    ~MapUI();
    MapUI(const MapUI&) = delete;
    MapUI& operator=(const MapUI&) = delete;

    // Fills `page` with the packages under maps/ (line id = index); without
    // any, disabled lines saying so and naming the folder. True when any was
    // found.
    bool packageList(Menu* menu, int page);
    // The maps folder's full path.
    static std::string mapsFolder();
    // Opens listed package `index`. False, with the open package kept, for
    // an index outside the list or a package the viewport refuses (its
    // reason in *why and on standard error).
    bool loadPackage(int index, std::string* why = nullptr);
    // Prints what the map's loader found wrong with tiles and styles since
    // the last call (every pass: nothing to do costs next to nothing), and
    // returns the first of them for the screen, once per opened package, so
    // that a damaged archive says so without a notice on every pan. A
    // package file restored from its backup on opening is said first.
    std::string takeReports();
    // The background layers of the open package; true when there is a choice.
    bool bgList(Menu* menu, int page);
    // The overlay layers and a "overlay_none" line (id -256), then a line
    // per archive that may be laid over the map with its opacity (ids from
    // archiveIds); true when there is any of them.
    bool overlayList(Menu* menu, int page);
    // The archive of line `id` laid at the next opacity (25, 50, 75, 100 %,
    // then off); false with *why when it could not be, or not be kept.
    bool stepArchive(int id, std::string* why);
    void loadCenterCross(std::string file);
    void drawCenterCross();

    Map* map;
    Lang* lang;
    bool reportShown = false; // since the package was opened
    std::string screenNote;   // for the next takeReports()
    std::vector<std::string> packageFiles;
    int currentPackage = -1;
    std::vector<std::string> packageCaptions;
    SDL_Surface* cross = nullptr;
    SDL_Surface* screen;
    SDL_Rect crossRect{0, 0, 0, 0};

    static constexpr int noOverlayId = -256;
    static constexpr int archiveIds = 1024;

private:
    void noPackages(Menu* menu, int page);
    bool fillLayers(Menu* menu, int page, const std::vector<std::string>& aliases,
                    const std::vector<std::string>& names);
};

#endif
