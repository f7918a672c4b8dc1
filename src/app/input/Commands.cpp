#include "Commands.h"

#include "FPS.h"
#include "GpsControls.h"
#include "Lang.h"
#include "Layout.h"
#include "Map.h"
#include "MapUI.h"
#include "Menu.h"
#include "MenuLine.h"
#include "Notification.h"
#include "OptionTable.h"
#include "Pages.h"
#include "RouteControls.h"
#include "Panning.h"
#include "ScreenDamage.h"
#include "Settings.h"
#include "ToolBar.h"
#include "TrackView.h"
#include "TrackPage.h"
#include "Tracks.h"

#include <string>
#include <utility>

void Commands::perform(const Intent& intent)
{
    if (intent.endsPan)
        parts.panning->stop();
    switch (intent.kind) {
    case Intent::none:
        return;
    case Intent::quit:
        quit = true;
        return;
    case Intent::toggleFullscreen:
        if (toggleFullscreen && toggleFullscreen())
            parts.damage->forget();
        return;
    case Intent::menuChoice:
        if (parts.menu->visible)
            runMenuChoice(intent.value);
        return;
    case Intent::toolAction:
        if (parts.toolBar->visible)
            runToolAction(intent.value);
        return;
    default:
        if (!menuKey(intent.kind) && !toolBarKey(intent.kind))
            mapIntent(intent);
    }
}

bool Commands::menuKey(Intent::Kind kind)
{
    Menu& menu = *parts.menu;
    const bool closable = parts.map->loaded() || parts.toolBar->visible;
    switch (kind) {
    case Intent::menuUp:
        menu.model.previous();
        return true;
    case Intent::menuDown:
        menu.model.next();
        return true;
    case Intent::menuPageUp:
        menu.model.pageUp();
        return true;
    case Intent::menuPageDown:
        menu.model.pageDown();
        return true;
    case Intent::menuFirst:
        menu.model.first();
        return true;
    case Intent::menuLast:
        menu.model.last();
        return true;
    case Intent::menuSelect: {
        const int a = menu.model.select();
        if (a != -1 && menu.visible)
            runMenuChoice(a);
        return true;
    }
    case Intent::menuBack:
        if (!menu.model.parent() && closable)
            menu.visible = false;
        return true;
    case Intent::menuClose:
        if (closable)
            menu.visible = false;
        return true;
    default:
        return false;
    }
}

bool Commands::toolBarKey(Intent::Kind kind)
{
    ToolBar& bar = *parts.toolBar;
    switch (kind) {
    case Intent::toolUp:
        bar.moveUp();
        return true;
    case Intent::toolDown:
        bar.moveDown();
        return true;
    case Intent::toolLeft:
        bar.moveLeft();
        return true;
    case Intent::toolRight:
        bar.moveRight();
        return true;
    case Intent::toolSelect:
        if (const ToolBarIcon* icon = bar.selectedIcon())
            if (!icon->disabled && bar.visible && icon->id >= 0 && icon->id < ToolAction::count)
                runToolAction(icon->id);
        return true;
    case Intent::hideToolBar:
        if (parts.map->loaded())
            bar.visible = false;
        return true;
    case Intent::showToolBar:
        bar.visible = true;
        return true;
    default:
        return false;
    }
}

bool Commands::mapIntent(const Intent& intent)
{
    Panning& pan = *parts.panning;
    switch (intent.kind) {
    case Intent::zoomIn:
        parts.map->zoomIn();
        return true;
    case Intent::zoomOut:
        parts.map->zoomOut();
        return true;
    case Intent::zoomAbout:
        zoomAbout(intent.x, intent.y, intent.value != 0);
        return true;
    case Intent::panUp:
    case Intent::panDown:
        pan.y = intent.kind == Intent::panUp ? -1 : 1;
        return true;
    case Intent::panLeft:
    case Intent::panRight:
        pan.x = intent.kind == Intent::panLeft ? -1 : 1;
        return true;
    case Intent::panToward:
        pan.x = intent.x;
        pan.y = intent.y;
        return true;
    case Intent::drag:
        parts.map->move(intent.x, intent.y);
        return true;
    case Intent::stopPanX:
        pan.x = 0;
        return true;
    case Intent::stopPanY:
        pan.y = 0;
        return true;
    case Intent::boost:
        pan.speed = parts.options->moveSpeed * parts.options->moveMultiplier;
        return true;
    case Intent::endBoost:
        pan.speed = parts.options->moveSpeed;
        return true;
    case Intent::follow:
        parts.gps->resume();
        return true;
    case Intent::openSearch:
        if (extraAction)
            extraAction(ToolAction::search);
        return true;
    default:
        return false;
    }
}

// The wheel zooms about the pointer: the map point under it stays there.
void Commands::zoomAbout(int x, int y, bool in)
{
    Map& map = *parts.map;
    if (!map.loaded())
        return;
    const int dx = x - parts.screen->w / 2, dy = y - parts.screen->h / 2;
    map.move(dx, dy);
    if (in)
        map.zoomIn();
    else
        map.zoomOut();
    map.move(-dx, -dy);
}

void Commands::showPage(int page)
{
    parts.menu->model.switchMenu(page);
    parts.menu->visible = true;
}

void Commands::runToolAction(int action)
{
    const Pages& pages = *parts.pages;
    switch (action) {
    case ToolAction::zoomIn:
        parts.map->zoomIn();
        break;
    case ToolAction::zoomOut:
        parts.map->zoomOut();
        break;
    case ToolAction::openPackage:
        showPage(pages.packageList);
        break;
    case ToolAction::save:
        savePosition();
        break;
    case ToolAction::options:
        showPage(pages.options);
        break;
    case ToolAction::mapOptions:
        showPage(pages.mapOptions);
        break;
    case ToolAction::follow:
        parts.gps->resume();
        break;
    case ToolAction::exit:
        if (parts.map->loaded())
            showPage(pages.exit);
        else
            quit = true;
        break;
    default:
        if (extraAction)
            extraAction(action);
        break;
    }
}

bool Commands::savePosition()
{
    const bool saved = parts.map->saveLastPosition();
    parts.notification->setBg(parts.lang->value(saved ? "position_saved" : "position_not_saved"), Layout::messageMs);
    return saved;
}

void Commands::runMenuChoice(int a)
{
    const Pages& pages = *parts.pages;
    Menu& menu = *parts.menu;
    const int page = menu.model.current;
    if (parts.gps->choose(page, a) || (parts.route && parts.route->choose(page, a)) || (extraChoice && extraChoice(page, a)))
        return;
    if (page == pages.packageList) {
        openPackage(a);
    } else if (page == pages.bg) {
        bool kept = true;
        parts.map->setBg(a, &kept);
        menu.model.switchMenu(pages.mapOptions);
        if (!kept)
            parts.notification->setBg(parts.lang->value("layer_not_saved"), Layout::messageMs);
    } else if (page == pages.overlay && a >= MapUI::archiveIds) {
        std::string why;
        if (!parts.mapUI->stepArchive(a, &why))
            parts.notification->setBg(parts.lang->value("layer_not_saved") + (why.empty() ? "" : ": " + why),
                                      Layout::messageMs);
        parts.mapUI->overlayList(&menu, pages.overlay);
    } else if (page == pages.overlay) {
        parts.map->setOverlay(a);
        menu.model.switchMenu(pages.mapOptions);
    } else if (page == parts.trackPage->page) {
        chooseTrack(a);
    } else if (optionChoices.choose(a)) {
        menu.model.switchMenu(pages.options);
    } else {
        runMenuLine(a);
    }
}

// Lines of the map options, options and exit pages.
void Commands::runMenuLine(int a)
{
    if (a == MenuLine::saveAndExit) {
        // Leave only once the position is safe; otherwise say so and stay
        // on the page, where "save_no" still quits.
        if (savePosition())
            quit = true;
        return;
    }
    if (a == MenuLine::exitWithoutSaving) {
        quit = true;
        return;
    }
    // The other lines lead to pages.
    const Pages& pages = *parts.pages;
    const std::pair<int, int> pageOfLine[] = {
        {MenuLine::background, pages.bg},
        {MenuLine::overlay, pages.overlay},
        {MenuLine::tracks, parts.trackPage->page},
    };
    for (const auto& entry : pageOfLine)
        if (entry.first == a)
            parts.menu->model.switchMenu(entry.second);
    const std::vector<OptionRow>& rows = OptionTable::rows();
    for (std::size_t i = 0; i < rows.size() && i < pages.valuePages.size(); ++i)
        if (rows[i].offered() && rows[i].line == a && parts.menu->model.current == pages.options)
            parts.menu->model.switchMenu(pages.valuePages[i]);
}

// Opens a package from the package page. A package the viewport refuses
// leaves everything as it was and says so.
void Commands::openPackage(int index)
{
    Menu& menu = *parts.menu;
    const Pages& pages = *parts.pages;
    Lang& lang = *parts.lang;
    std::string why;
    if (!parts.mapUI->loadPackage(index, &why)) {
        parts.notification->setBg(lang.value("package_error") + (why.empty() ? "" : ": " + why), 2 * Layout::messageMs);
        return;
    }
    for (const Layout::Icon& icon : Layout::icons) {
        const auto it = parts.toolBar->findIcon(icon.action);
        if (icon.needsMap && it != parts.toolBar->icons.end())
            it->disabled = false;
    }
    MapAPI& api = *parts.map->api;
    menu.model.changeValue(pages.mapOptions, pages.mapBgLine, lang.value(api.typeAlias(api.bg.name)));
    menu.model.changeValue(pages.mapOptions, pages.mapOverlayLine, lang.value("overlay_none"));
    if (parts.mapUI->bgList(&menu, pages.bg))
        menu.model.activateItem(pages.mapOptions, pages.mapBgLine);
    else
        menu.model.disableItem(pages.mapOptions, pages.mapBgLine);
    if (parts.mapUI->overlayList(&menu, pages.overlay))
        menu.model.activateItem(pages.mapOptions, pages.mapOverlayLine);
    else
        menu.model.disableItem(pages.mapOptions, pages.mapOverlayLine);
    menu.visible = false;
}

// A line of the tracks page: show or hide a file, or bring it whole into view.
void Commands::chooseTrack(int a)
{
    Tracks& tracks = *parts.tracks;
    int file = -1;
    switch (parts.trackPage->choose(a, &tracks, &file)) {
    case TrackPage::Choice::toggled:
        parts.settings->setValue("tracks_hidden", TrackPage::hiddenList(tracks));
        break;
    case TrackPage::Choice::centre: {
        const SDL_Surface* screen = parts.map->screen;
        const SDL_Rect whole{0, 0, static_cast<Uint16>(screen ? screen->w : 0), static_cast<Uint16>(screen ? screen->h : 0)};
        if (screen && TrackView::show(parts.map, tracks.files[static_cast<std::size_t>(file)].data, whole))
            parts.menu->visible = false;
        break;
    }
    case TrackPage::Choice::figures:
        if (parts.trackPage->openFigures)
            parts.trackPage->openFigures(file);
        break;
    default:
        break;
    }
    parts.trackPage->refresh(parts.menu, parts.lang, tracks);
}
