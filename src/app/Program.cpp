#include "Program.h"

#include "Clock.h"
#include "EventSource.h"

const char* const Program::version = "0.0.6.10";
const char* const Program::settingsFile = "tessel.conf";
const char* const Program::authorship = "Tessel offline maps, free software";

namespace {

const SDL_Color amber{255, 191, 0, 0};
const SDL_Color black{0, 0, 0, 0};
const SDL_Rect toolBarBox{0, 212, 320, 28};
const SDL_Rect menuBox{32, 57, 256, 126};

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

void Settings::readFrom(const ConfParser& conf)
{
    conf.intValue("fps", &fpsLimit);
    conf.boolValue("show_fps", &showFps);
    conf.boolValue("show_battery", &showBattery);
    conf.boolValue("smooth", &smoothText);
    conf.intValue("map_move_speed", &moveSpeed);
    conf.intValue("map_move_multiplier", &moveMultiplier);
    conf.boolValue("center_cross", &centerCross);
    conf.stringValue("language", &language);
}

Program::Program(SDL_Surface* screen, const Fonts& fonts, EventSource* events, Clock* clock)
    : screen(screen), fonts(fonts), splash("media/splash.png", screen, clock),
      splashShown(showStartupPicture(&splash, fonts)), settings(settingsFile, 1), fps(clock),
      battery(screen, &fps, SDL_Rect{299, 3, 18, 10}, "media/battery_full.png", "media/battery_mid.png",
              "media/battery_low.png", "media/battery_empty.png"),
      toolBar(screen), notification(screen, &fps), options(readSettings(settings)), lang(options.language, &settings),
      events(events)
{
    fps.setLimit(options.fpsLimit);
    toolBar.setIconText(SDL_Rect{125, 222, 173, 17}, 17, fonts.text, amber);
    toolBar.addImage(toolBarBox, "media/toolbar_bg.png");
    toolBar.area = toolBarBox;
    notification.bgFormat(SDL_Rect{107, 0, 213, 25}, "media/bgnotification_bg.png", SDL_Rect{115, 0, 200, 17}, 18,
                          fonts.text, amber);
    buildMenu();
    map.copyrightFormat(SDL_Rect{3, 0, 160, 15}, 9, fonts.small, black);
    fps.setText(screen, SDL_Rect{230, 0, 60, 15}, 12, fonts.small, black);
    buildToolBar();
    // The first state: menu closed, toolbar shown, no package open.
    menu.visible = false;
    toolBar.visible = true;
    currentSpeed = options.moveSpeed;
}

void Program::buildMenu()
{
    menu.create(screen, SDL_Rect{43, 90, 224, 80}, 18, fonts.text, SDL_Color{191, 191, 191, 0}, amber,
                SDL_Color{96, 96, 96, 0}, SDL_Color{191, 143, 0, 0});
    menu.area = menuBox;
    menu.heading(SDL_Rect{40, 62, 240, 25}, 18, fonts.heading, amber);
    menu.scrollbar(SDL_Rect{271, 90, 9, 85}, "media/scrollbar_top.png", "media/scrollbar_bottom.png",
                   "media/scrollbar_bg.png", "media/scrollbar_slider.png");
    menu.loadBackground(menuBox, "media/menu_bg.png");
}

void Program::buildToolBar()
{
    struct IconSpec {
        const char* textId;
        SDL_Rect box;
        const char* image;
        bool needsMap;
        int* index;
    };
    const IconSpec icons[] = {
        {"zoom_in", {4, 219, 20, 20}, "zoomin", true, &zoomInIcon},
        {"zoom_out", {25, 219, 20, 20}, "zoomout", true, &zoomOutIcon},
        {"open_package", {47, 223, 16, 16}, "open", false, nullptr},
        {"save", {66, 223, 16, 16}, "save", true, &saveIcon},
        {"options", {85, 223, 16, 16}, "options", false, nullptr},
        {"map_options", {104, 223, 16, 16}, "mapoptions", true, &mapOptionsIcon},
        {"exit", {299, 222, 16, 16}, "exit", false, nullptr},
    };
    for (int i = 0; i < 7; ++i) {
        const IconSpec& icon = icons[i];
        const std::string file = std::string("media/icon_") + icon.image;
        const int index = toolBar.addIcon(icon.box, i, 0, i, file + ".png", file + "-d.png", file + "-a.png",
                                          lang.value(icon.textId), icon.needsMap);
        if (icon.index)
            *icon.index = index;
    }
}

bool Program::pass()
{
    SDL_Event event;
    if (events->poll(&event))
        handleEvent(event);
    pan();
    draw();
    SDL_UpdateRect(screen, 0, 0, 0, 0);
    fps.refresh();
    return quit == 0;
}

int Program::run()
{
    while (pass()) {
    }
    return 0;
}

void Program::handleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        quit = 1;
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_c && (event.key.keysym.mod & KMOD_CTRL))
            quit = 1;
        break;
    default:
        break;
    }
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

void Program::draw()
{
    const bool blended = options.smoothText;
    if (!map.loaded())
        splash.show(0);
    map.draw(blended);
    toolBar.draw(&fps, blended);
    menu.draw(&fps, blended);
    if (options.showBattery)
        battery.draw();
    if (options.showFps)
        fps.draw(blended);
    notification.draw(blended);
}
