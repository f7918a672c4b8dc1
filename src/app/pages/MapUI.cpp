#include "MapUI.h"

#include "ConfParser.h"
#include "Image.h"
#include "Lang.h"
#include "Map.h"
#include "Menu.h"
#include "MetadataText.h"
#include "PackageCaptions.h"
#include "SafeFile.h"
#include "TileArchive.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <unordered_map>
#include <dirent.h>

MapUI::MapUI(Map* map, SDL_Surface* screen, Lang* lang) : map(map), lang(lang), screen(screen) {}

MapUI::~MapUI()
{
    Image::release(&cross);
}

std::string MapUI::mapsFolder()
{
    char here[4096];
    return (getcwd(here, sizeof here) ? std::string(here) + "/" : std::string()) + "maps";
}

// The empty page says where packages go, the home folder as "~".
void MapUI::noPackages(Menu* menu, int page)
{
    std::string folder = mapsFolder();
    const char* home = std::getenv("HOME");
    const std::size_t length = home ? std::strlen(home) : 0;
    if (length > 1 && folder.compare(0, length, home) == 0 && folder[length] == '/')
        folder = "~" + folder.substr(length);
    menu->model.addItem(page, -1, lang->value("no_packages"), true);
    menu->model.addItem(page, -1, lang->value("packages_go_in"), true);
    menu->model.addItem(page, -1, folder, true);
}

bool MapUI::packageList(Menu* menu, int page)
{
    DIR* dir = opendir("./maps");
    if (!dir) {
        menu->model.clearMenu(page);
        noPackages(menu, page);
        return false;
    }
    menu->model.clearMenu(page);
    packageCaptions.clear();
    packageFiles.clear();
    std::vector<PackageCaptions::Entry> entries;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string caption;
        if (TileArchive::hasArchiveName(name) && SafeFile::present("maps/" + name) && !SafeFile::isDirectory("maps/" + name)) {
            // Listed even when damaged: opening it says what is wrong.
            std::string error;
            const std::unique_ptr<TileArchive> archive =
                TileArchive::open("maps/" + name, &error, TileArchive::Reading::tilesOnly);
            caption = archive && !archive->info().name.empty() ? MetadataText::fromHtml(archive->info().name) : name;
            entries.push_back(PackageCaptions::Entry{caption, name, "maps/" + name});
            continue;
        }
        const std::string path = "maps/" + name + "/map.conf";
        // Listing writes nothing: a description an interrupted save left
        // only as a leftover is listed from it and recovered when opened.
        ConfParser conf(path, 1);
        if (conf.parameters.empty() && !conf.leftover().empty())
            conf = ConfParser(conf.leftover(), 1);
        if (conf.parameters.empty())
            continue;
        conf.value("caption", &caption);
        entries.push_back(PackageCaptions::Entry{caption, name, path});
    }
    closedir(dir);
    if (entries.empty()) {
        noPackages(menu, page);
        return false;
    }
    // A caption shared by several packages says its file where a line not
    // selected (cut, not rolling) shows it.
    PackageCaptions::arrange(&entries, [menu](const std::string& line) {
        int w = 0, h = 0;
        return menu->font && TTF_SizeUTF8(menu->font, line.c_str(), &w, &h) == 0 && w <= menu->itemBox.w;
    });
    for (const PackageCaptions::Entry& e : entries) {
        menu->model.addItem(page, static_cast<int>(packageCaptions.size()), e.caption, false);
        packageCaptions.push_back(e.caption);
        packageFiles.push_back(e.path);
    }
    return true;
}

bool MapUI::loadPackage(int index, std::string* why)
{
    if (index < 0 || index >= static_cast<int>(packageFiles.size()))
        return false;
    const std::string& path = packageFiles[static_cast<std::size_t>(index)];
    std::string reason;
    const bool opened = map->create(screen, path, &reason);
    if (!map->recoveryNote.empty())
        std::fprintf(stderr, "tessel: %s\n", map->recoveryNote.c_str());
    if (!opened) {
        std::fprintf(stderr, "tessel: %s: %s\n", path.c_str(), reason.c_str());
        if (why)
            *why = reason;
        return false;
    }
    currentPackage = index;
    reportShown = false;
    if (!map->conf.recoveredFrom.empty())
        screenNote = lang->value("file_recovered") + " " + map->conf.file;
    return true;
}

std::string MapUI::takeReports()
{
    const std::vector<std::string> said = map->pipeline.reports.take();
    for (const std::string& line : said)
        std::fprintf(stderr, "%s\n", line.c_str());
    if (!screenNote.empty()) {
        std::string note;
        note.swap(screenNote);
        return note;
    }
    if (said.empty() || reportShown)
        return std::string();
    reportShown = true;
    return said.front();
}

// Fills a layer page with the layers' labels. Layers that share a label
// (Google names only know four kinds) get their own names after it, so
// that the lines can be told apart.
bool MapUI::fillLayers(Menu* menu, int page, const std::vector<std::string>& aliases,
                       const std::vector<std::string>& names)
{
    menu->model.clearMenu(page);
    std::unordered_map<std::string, int> uses;
    for (const std::string& alias : aliases)
        ++uses[alias];
    for (std::size_t i = 0; i < aliases.size(); ++i) {
        std::string label = lang->value(aliases[i]);
        if (uses[aliases[i]] > 1 && i < names.size())
            label += " (" + names[i] + ")";
        menu->model.addItem(page, static_cast<int>(i), label, false);
    }
    return !aliases.empty();
}

bool MapUI::bgList(Menu* menu, int page)
{
    if (currentPackage == -1)
        return false;
    const std::vector<std::string> aliases = map->aliasedBgList();
    fillLayers(menu, page, aliases, map->bgTypes);
    return aliases.size() >= 2;
}

bool MapUI::overlayList(Menu* menu, int page)
{
    if (currentPackage == -1)
        return false;
    const bool own = fillLayers(menu, page, map->aliasedOverlayList(), map->overlayTypes);
    const std::vector<std::string> archives = map->offeredArchives();
    if (!own && archives.empty())
        return false;
    if (own)
        menu->model.addItem(page, noOverlayId, lang->value("overlay_none"), false);
    for (std::size_t i = 0; i < archives.size(); ++i) {
        const int opacity = map->laid.opacityOf(archives[i]);
        const std::string state = opacity > 0 ? std::to_string(opacity) + " %" : lang->value("layer_off");
        menu->model.addItem(page, archiveIds + static_cast<int>(i), archives[i] + "  " + state, false);
    }
    return true;
}

bool MapUI::stepArchive(int id, std::string* why)
{
    const std::vector<std::string> archives = map->offeredArchives();
    const std::size_t i = static_cast<std::size_t>(id - archiveIds);
    if (id < archiveIds || i >= archives.size())
        return false;
    bool kept = true;
    return map->layArchive(archives[i], LaidArchives::nextStep(map->laid.opacityOf(archives[i])), why, &kept) && kept;
}

void MapUI::loadCenterCross(std::string file)
{
    Image::release(&cross);
    crossRect = SDL_Rect{0, 0, 0, 0};
    cross = Image::loadAlpha(file);
    if (!cross || !screen)
        return;
    crossRect = SDL_Rect{static_cast<Sint16>((screen->w - cross->w) / 2), static_cast<Sint16>((screen->h - cross->h) / 2),
                         static_cast<Uint16>(cross->w), static_cast<Uint16>(cross->h)};
}

void MapUI::drawCenterCross()
{
    if (crossRect.x <= 0 || !cross)
        return;
    SDL_Rect at = crossRect;
    SDL_UpperBlit(cross, nullptr, screen, &at);
}
