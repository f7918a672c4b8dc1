#include "Program.h"

#include "Clock.h"
#include "EdgeBand.h"
#include "EventSource.h"
#include "Gp2x.h"
#include "PositionOverlay.h"
#include "Rects.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

const char* const Program::version = "0.0.6.10";
const char* const Program::settingsFile = "tessel.conf";
const char* const Program::authorship = "Tessel offline maps, free software";

namespace {

const SDL_Color amber{255, 191, 0, 0};
const SDL_Color black{0, 0, 0, 0};
const SDL_Rect toolBarBox{0, 212, 320, 28};
const SDL_Rect menuBox{32, 57, 256, 126};

const SDL_Color normalGrey{191, 191, 191, 0};
const SDL_Color disabledGrey{96, 96, 96, 0};
const SDL_Color selectedDisabledAmber{191, 143, 0, 0};
const Uint32 messageMs = 1500;

bool ctrlC(const SDL_keysym& key)
{
    return key.sym == SDLK_c && (key.mod & KMOD_CTRL);
}

bool isShift(SDLKey key)
{
    return key == SDLK_LSHIFT || key == SDLK_RSHIFT;
}

Settings readSettings(const ConfParser& conf)
{
    Settings settings;
    settings.readFrom(conf);
    return settings;
}

// Writes the version and authorship into the start-up picture and shows it
// for 100 ms, before the settings are read.
bool showStartupPicture(Splash* splash, const Fonts& fonts)
{
    splash->drawText(SDL_Rect{3, 0, 100, 20}, 9, fonts.text, true, amber, std::string("Ver. ") + Program::version);
    splash->drawText(SDL_Rect{61, 196, 256, 20}, 36, fonts.text, true, amber, Program::authorship);
    splash->show(100);
    return true;
}

} // namespace

bool Fonts::open(const std::string& path)
{
    text = TTF_OpenFont(path.c_str(), 11);
    heading = TTF_OpenFont(path.c_str(), 16);
    small = TTF_OpenFont(path.c_str(), 9);
    return text && heading && small;
}


Program::Program(SDL_Surface* screen, const Fonts& fonts, EventSource* events, Clock* clock)
    : screen(screen), fonts(fonts), splash("media/splash.png", screen, clock),
      splashShown(showStartupPicture(&splash, fonts)), settings(ConfParser::recovered(settingsFile)), fps(clock),
      battery(screen, &fps, SDL_Rect{299, 3, 18, 10}, "media/battery_full.png", "media/battery_mid.png",
              "media/battery_low.png", "media/battery_empty.png"),
      toolBar(screen), notification(screen, &fps), options(readSettings(settings)), lang(options.language, &settings),
      mapUI(&map, screen, &lang),
      damage(ScreenDamage::Parts{screen, &map, &toolBar, &menu, &battery, &fps, &notification, &mapUI, &options,
                                 &tracks}),
      events(events)
{
    fps.setLimit(options.fpsLimit);
    toolBar.setIconText(SDL_Rect{125, 222, 173, 17}, 17, fonts.text, amber);
    toolBar.addImage(toolBarBox, "media/toolbar_bg.png");
    toolBar.area = toolBarBox;
    notification.bgFormat(SDL_Rect{107, 0, 213, 25}, "media/bgnotification_bg.png", SDL_Rect{115, 0, 200, 17}, 18,
                          fonts.text, amber);
    buildMenu();
    attribution.format(SDL_Rect{3, 0, 160, 15}, 9, fonts.small, black);
    fps.setText(screen, SDL_Rect{230, 0, 60, 15}, 12, fonts.small, black);
    buildToolBar();
    pages.build(&menu, &lang, &mapUI, settings, options);
    if (mapUI.packageCaptions.empty())
        tellWherePackagesGo();
    loadTracks();
    // The first state: menu closed, toolbar shown, no package open.
    menu.visible = false;
    toolBar.visible = true;
    currentSpeed = options.moveSpeed;
    map.pipeline.cache.setLimit(static_cast<std::size_t>(options.tileCacheKb) * 1024);
    map.pipeline.parents = options.missingParents;
    map.pipeline.setMode(options.backgroundLoading ? TilePipeline::Mode::background : TilePipeline::Mode::synchronous);
}

Program::~Program()
{
    if (!settings.save())
        std::fprintf(stderr, "tessel: cannot write %s; the changed settings are lost\n", settingsFile);
}

void Program::buildMenu()
{
    menu.create(screen, SDL_Rect{43, 90, 224, 80}, 18, fonts.text, normalGrey, amber, disabledGrey,
                selectedDisabledAmber);
    menu.area = menuBox;
    menu.heading(SDL_Rect{40, 62, 240, 25}, 18, fonts.heading, amber);
    menu.scrollbar(SDL_Rect{271, 90, 9, 85}, "media/scrollbar_top.png", "media/scrollbar_bottom.png",
                   "media/scrollbar_bg.png", "media/scrollbar_slider.png");
    menu.loadBackground(menuBox, "media/menu_bg.png");
}

void Program::buildToolBar()
{
    struct IconEntry {
        const char* textId;
        SDL_Rect box;
        const char* image;
        bool needsMap;
        int* index;
    };
    const IconEntry icons[] = {
        {"zoom_in", {4, 219, 20, 20}, "zoomin", true, &zoomInIcon},
        {"zoom_out", {25, 219, 20, 20}, "zoomout", true, &zoomOutIcon},
        {"open_package", {47, 223, 16, 16}, "open", false, nullptr},
        {"save", {66, 223, 16, 16}, "save", true, &saveIcon},
        {"options", {85, 223, 16, 16}, "options", false, nullptr},
        {"map_options", {104, 223, 16, 16}, "mapoptions", true, &mapOptionsIcon},
        {"exit", {299, 222, 16, 16}, "exit", false, nullptr},
    };
    for (int i = 0; i < 7; ++i) {
        const IconEntry& icon = icons[i];
        const std::string file = std::string("media/icon_") + icon.image;
        const int index = toolBar.addIcon(icon.box, i, 0, i, file + ".png", file + "-d.png", file + "-a.png",
                                          lang.value(icon.textId), icon.needsMap);
        if (icon.index)
            *icon.index = index;
    }
}

bool Program::pass()
{
    menuAction = toolBarAction = -1;
    SDL_Event event;
    if (events->poll(&event))
        handleEvent(event);
    if (toolBar.visible && toolBarAction >= 0 && toolBarAction <= 6)
        runToolBarAction(toolBarAction);
    if (menu.visible && menuAction != -1)
        runMenuAction(menuAction);
    pan();
    map.update();
    present();
    fps.refresh();
    return quit == 0;
}

int Program::run()
{
    while (pass()) {
    }
    return 0;
}

void Program::pointerEvent(const SDL_Event& event)
{
    const bool motion = event.type == SDL_MOUSEMOTION;
    int x = motion ? event.motion.x : event.button.x;
    int y = motion ? event.motion.y : event.button.y;
    Gp2x::reverseCoordsIfNeeded(&x, &y);
    int dx = 0, dy = 0;
    if (motion) {
        if (pointer.motion(x, y, map.loaded() && !menu.visible, &dx, &dy)) {
            moveX = moveY = 0; // a drag ends the pan from the edge
            map.move(dx, dy);
        }
    } else if (event.button.button == SDL_BUTTON_WHEELUP || event.button.button == SDL_BUTTON_WHEELDOWN) {
        if (event.type == SDL_MOUSEBUTTONDOWN)
            zoomAbout(x, y, event.button.button == SDL_BUTTON_WHEELUP);
    } else if (event.type == SDL_MOUSEBUTTONDOWN) {
        // A press in the map's edge band pans while held, so it acts at once.
        const bool edge = !menu.visible && !toolBar.visible && onMapEdge(x, y);
        pointer.press(x, y, edge);
        if (edge)
            touch(x, y);
    } else {
        moveX = moveY = 0;
        if (pointer.release(&x, &y))
            touch(x, y);
    }
}

// The wheel zooms about the pointer: the map point under it stays there.
void Program::zoomAbout(int x, int y, bool in)
{
    if (!map.loaded())
        return;
    const int dx = x - screen->w / 2, dy = y - screen->h / 2;
    map.move(dx, dy);
    if (in)
        map.zoomIn();
    else
        map.zoomOut();
    map.move(-dx, -dy);
}

void Program::handleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
        pointerEvent(event);
        break;
    case SDL_KEYDOWN:
        if (ctrlC(event.key.keysym))
            quit = 1;
        else if (event.key.keysym.sym == SDLK_F11 && toggleFullscreen) {
            if (toggleFullscreen())
                damage.forget();
        }
        else if (menu.visible)
            menuKey(event.key.keysym.sym);
        else if (toolBar.visible)
            toolBarKey(event.key.keysym.sym);
        else
            mapKey(event.key.keysym.sym);
        break;
    case SDL_KEYUP:
        keyUp(event.key.keysym.sym);
        break;
    case SDL_QUIT:
        quit = 1;
        break;
    default:
        break;
    }
}

// A touch goes to the menu, then the toolbar, then the map; the first that
// takes it keeps it.
void Program::touch(int x, int y)
{
    if (menu.click(x, y, &menuAction)) {
        if (menuAction == Mouse::resultSpecial) {
            if (!menu.parent())
                menu.visible = false;
            menuAction = -1;
        }
        return;
    }
    if (menu.visible && (toolBar.visible || map.loaded()))
        menu.visible = false;
    if (toolBar.click(x, y, &toolBarAction))
        return;
    if (toolBar.visible) {
        if (map.loaded())
            toolBar.visible = false;
        return;
    }
    if (!onMapEdge(x, y)) {
        toolBar.visible = true;
    } else {
        moveX = x - screen->w / 2;
        moveY = y - screen->h / 2;
    }
}

bool Program::onMapEdge(int x, int y) const
{
    return map.loaded() && EdgeBand::contains(screen->w, screen->h, x, y);
}

void Program::menuKey(SDLKey key)
{
    switch (key) {
    case SDLK_UP:
        menu.moveUp();
        break;
    case SDLK_DOWN:
        menu.moveDown();
        break;
    case SDLK_PAGEUP:
        menu.scrollUp();
        break;
    case SDLK_PAGEDOWN:
        menu.scrollDown();
        break;
    case SDLK_RETURN:
        menuAction = menu.select();
        break;
    case SDLK_BACKSPACE:
        if (!menu.parent() && (map.loaded() || toolBar.visible))
            menu.visible = false;
        break;
    case SDLK_ESCAPE:
        if (map.loaded() || toolBar.visible)
            menu.visible = false;
        break;
    default:
        break;
    }
}

void Program::toolBarKey(SDLKey key)
{
    switch (key) {
    case SDLK_UP:
        toolBar.moveUp();
        break;
    case SDLK_DOWN:
        toolBar.moveDown();
        break;
    case SDLK_LEFT:
        toolBar.moveLeft();
        break;
    case SDLK_RIGHT:
        toolBar.moveRight();
        break;
    case SDLK_KP_PLUS:
        map.zoomIn();
        break;
    case SDLK_KP_MINUS:
        map.zoomOut();
        break;
    case SDLK_RETURN:
        if (const ToolBarIcon* icon = toolBar.selectedIcon())
            toolBarAction = icon->disabled ? -1 : icon->id;
        break;
    case SDLK_BACKSPACE:
    case SDLK_ESCAPE:
        if (map.loaded())
            toolBar.visible = false;
        break;
    default:
        break;
    }
}

void Program::mapKey(SDLKey key)
{
    switch (key) {
    case SDLK_UP:
        moveY = -1;
        break;
    case SDLK_DOWN:
        moveY = 1;
        break;
    case SDLK_LEFT:
        moveX = -1;
        break;
    case SDLK_RIGHT:
        moveX = 1;
        break;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        currentSpeed = options.moveSpeed * options.moveMultiplier;
        break;
    case SDLK_KP_PLUS:
        map.zoomIn();
        break;
    case SDLK_KP_MINUS:
        map.zoomOut();
        break;
    case SDLK_BACKSPACE:
    case SDLK_ESCAPE:
        toolBar.visible = true;
        break;
    default:
        break;
    }
}

void Program::keyUp(SDLKey key)
{
    if (key == SDLK_LEFT || key == SDLK_RIGHT)
        moveX = 0;
    else if (key == SDLK_UP || key == SDLK_DOWN)
        moveY = 0;
    else if (isShift(key))
        currentSpeed = options.moveSpeed;
}

void Program::showPage(int page)
{
    menu.switchMenu(page);
    menu.visible = true;
}

void Program::runToolBarAction(int action)
{
    switch (action) {
    case 0:
        map.zoomIn();
        break;
    case 1:
        map.zoomOut();
        break;
    case 2:
        showPage(pages.packageList);
        break;
    case 3:
        savePosition();
        break;
    case 4:
        showPage(pages.options);
        break;
    case 5:
        showPage(pages.mapOptions);
        break;
    case 6:
        if (map.loaded())
            showPage(pages.exit);
        else
            quit = 1;
        break;
    default:
        break;
    }
}

// Saves the position and says whether it worked.
bool Program::savePosition()
{
    const bool saved = map.saveLastPosition();
    notification.setBg(lang.value(saved ? "position_saved" : "position_not_saved"), messageMs);
    return saved;
}

void Program::runMenuAction(int a)
{
    const int page = menu.current;
    if (page == pages.packageList) {
        openPackage(a);
    } else if (page == pages.bg) {
        map.setBg(a);
        menu.switchMenu(pages.mapOptions);
    } else if (page == pages.overlay) {
        map.setOverlay(a);
        menu.switchMenu(pages.mapOptions);
    } else if (page == pages.language) {
        lang.load(a);
        menu.switchMenu(pages.options);
    } else if (page == pages.maxFps) {
        fps.setLimit(a);
        settings.setValue("fps", std::to_string(a));
        menu.switchMenu(pages.options);
    } else if (page == trackPage.page) {
        chooseTrack(a);
    } else if (page == pages.missingTiles) {
        setMissingTiles(a);
        menu.switchMenu(pages.options);
    } else if (storeYesNo(a)) {
        menu.switchMenu(pages.options);
    } else if (page == pages.moveSpeed) {
        changeSpeed(a);
        settings.setValue("map_move_speed", std::to_string(a));
        menu.switchMenu(pages.options);
    } else if (page == pages.moveMultiplier) {
        if (currentSpeed != options.moveSpeed)
            currentSpeed = options.moveSpeed * a;
        options.moveMultiplier = a;
        settings.setValue("map_move_multiplier", std::to_string(a));
        menu.switchMenu(pages.options);
    } else {
        runMenuLine(a);
    }
}

// A choice in one of the yes/no pages: sets its variable (the first line
// means yes, the second no) and stores it as "yes" or "no". False when the
// page shown is none of them.
bool Program::storeYesNo(int a)
{
    const struct {
        int page;
        const char* key;
        int yesId;
        bool* variable;
    } choices[] = {
        {pages.showFps, "show_fps", 8, &options.showFps},
        {pages.showBattery, "show_battery", 11, &options.showBattery},
        {pages.smoothText, "smooth", 14, &options.smoothText},
        {pages.centerCross, "center_cross", 22, &options.centerCross},
        {pages.showPosition, "show_position", 27, &options.showPosition},
    };
    for (const auto& choice : choices) {
        if (menu.current != choice.page)
            continue;
        if (a == choice.yesId)
            *choice.variable = true;
        else if (a == choice.yesId + 1)
            *choice.variable = false;
        settings.setValue(choice.key, *choice.variable ? "yes" : "no");
        return true;
    }
    return false;
}

// Lines of the map options, options and exit pages.
void Program::runMenuLine(int a)
{
    if (a == 3) {
        // Leave only once the position is safe; otherwise say so and stay
        // on the page, where "save_no" still quits.
        if (savePosition())
            quit = 1;
        return;
    }
    if (a == 4) {
        quit = 1;
        return;
    }
    // The other lines lead to pages.
    const std::pair<int, int> pageOfLine[] = {
        {1, pages.bg},          {2, pages.overlay},      {5, pages.language},
        {6, pages.maxFps},      {7, pages.showFps},      {10, pages.showBattery},
        {13, pages.smoothText}, {19, pages.moveSpeed},   {20, pages.moveMultiplier},
        {21, pages.centerCross}, {23, pages.missingTiles}, {26, pages.showPosition}, {28, trackPage.page},
    };
    for (const auto& entry : pageOfLine)
        if (entry.first == a)
            menu.switchMenu(entry.second);
}

// Opens a package from the package page. A package the viewport refuses
// leaves everything as it was and says so.
void Program::openPackage(int index)
{
    if (!mapUI.loadPackage(index)) {
        notification.setBg(lang.value("package_error"), 2 * messageMs);
        return;
    }
    for (int icon : {zoomInIcon, zoomOutIcon, saveIcon, mapOptionsIcon}) {
        const auto it = toolBar.findIcon(icon);
        if (it != toolBar.icons.end())
            it->disabled = false;
    }
    menu.changeValue(pages.mapOptions, pages.mapBgLine, lang.value(map.api->typeAlias(map.api->bg.name)));
    menu.changeValue(pages.mapOptions, pages.mapOverlayLine, lang.value("overlay_none"));
    if (mapUI.bgList(&menu, pages.bg))
        menu.activateItem(pages.mapOptions, pages.mapBgLine);
    else
        menu.disableItem(pages.mapOptions, pages.mapBgLine);
    if (mapUI.overlayList(&menu, pages.overlay))
        menu.activateItem(pages.mapOptions, pages.mapOverlayLine);
    else
        menu.disableItem(pages.mapOptions, pages.mapOverlayLine);
    menu.visible = false;
}

// Every GPX file of tracks/; one that could not be read whole is named in
// the notification (its good part is shown) and on standard error.
void Program::loadTracks()
{
    std::vector<std::string> problems;
    tracks.load("tracks", &problems);
    std::string hidden;
    settings.stringValue("tracks_hidden", &hidden);
    TrackPage::applyHidden(hidden, &tracks);
    trackPage.build(&menu, &lang, pages.mapOptions, tracks);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "tessel: track %s\n", problem.c_str());
    if (!problems.empty())
        notification.setBg(lang.value("track_problem") + " " + problems.front(), 6000);
}

// A line of the tracks page: show or hide a file, or centre on its start.
void Program::chooseTrack(int a)
{
    int file = -1;
    switch (trackPage.choose(a, &tracks, &file)) {
    case TrackPage::Choice::toggled:
        settings.setValue("tracks_hidden", TrackPage::hiddenList(tracks));
        break;
    case TrackPage::Choice::centre: {
        const GpxData& data = tracks.files[static_cast<std::size_t>(file)].data;
        const LonLat start = data.lines.empty() ? data.waypoints.front().at : data.lines.front().front();
        if (map.centreOn(start.lon, start.lat))
            menu.visible = false;
        break;
    }
    default:
        break;
    }
    trackPage.refresh(&menu, &lang, tracks);
}

// A first start has no packages: say where they go, on screen and on
// standard output (the screen's line may be too short for the path).
void Program::tellWherePackagesGo()
{
    char here[4096];
    const std::string maps = (getcwd(here, sizeof here) ? std::string(here) + "/" : std::string()) + "maps";
    notification.setBg(lang.value("packages_go_in") + " " + maps, 8000);
    std::printf("tessel: no map packages yet: put them in %s\n", maps.c_str());
}

// Line 24 of its page asks for ancestors, 25 for the placeholder.
void Program::setMissingTiles(int a)
{
    options.missingParents = a == 24;
    settings.setValue("missing_tiles", options.missingParents ? "parent" : "placeholder");
    map.setMissingParents(options.missingParents);
}

// The boost key is held while the current speed differs from the base speed.
void Program::changeSpeed(int speed)
{
    const bool boosted = currentSpeed != options.moveSpeed;
    options.moveSpeed = speed;
    currentSpeed = boosted ? speed * options.moveMultiplier : speed;
}

// Moves the map by the distance this frame's time gives the current speed.
// Only an open package can be panned.
void Program::pan()
{
    if ((moveX == 0 && moveY == 0) || !map.loaded())
        return;
    int speedX = 0, speedY = 0;
    map.moveDistance(moveX, moveY, currentSpeed, &speedX, &speedY);
    const int stepX = fps.moveDistance(speedX, &moveCarry);
    const int stepY = fps.moveDistance(speedY, &moveCarry);
    map.move(stepX, stepY);
}

void Program::present()
{
    if (fullRedraw)
        damage.forget();
    const std::vector<SDL_Rect> boxes = damage.damaged();
    if (boxes.empty())
        return;
    SDL_Rect clip = boxes[0];
    for (const SDL_Rect& box : boxes)
        clip = unite(clip, box);
    SDL_SetClipRect(screen, &clip);
    draw();
    SDL_SetClipRect(screen, nullptr);
    damage.shown(clip);
    if (showBox)
        showBox(clip);
    else
        SDL_UpdateRects(screen, 1, &clip);
}

void Program::draw()
{
    const bool blended = options.smoothText;
    if (!map.loaded())
        splash.show(0);
    map.draw();
    if (map.loaded())
        attribution.draw(screen, map.api->copyright, blended);
    int z = 0;
    if (map.mercatorLevel(&z)) {
        double x, y;
        map.worldPixel(0, 0, &x, &y);
        tracks.draw(screen, z, x, y, fonts.small, blended);
    }
    if (options.showPosition && map.loaded())
        PositionOverlay::draw(screen, map, fonts.small, blended);
    toolBar.draw(&fps, blended);
    menu.draw(&fps, blended);
    if (options.showBattery)
        battery.draw();
    if (options.showFps)
        fps.draw(blended);
    notification.draw(blended);
    if (!menu.visible && options.centerCross && map.loaded())
        mapUI.drawCenterCross();
}
