#include "Program.h"

#include "Clock.h"
#include "EventSource.h"

const char* const Program::version = "0.0.6.10";
const char* const Program::settingsFile = "tessel.conf";

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
    : screen(screen), fonts(fonts), settings(settingsFile, 1), fps(clock), events(events)
{
    options.readFrom(settings);
    fps.setLimit(options.fpsLimit);
    map.copyrightFormat(SDL_Rect{3, 0, 160, 15}, 9, fonts.small, SDL_Color{0, 0, 0, 0});
    fps.setText(screen, SDL_Rect{230, 0, 60, 15}, 12, fonts.small, SDL_Color{0, 0, 0, 0});
    currentSpeed = options.moveSpeed;
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
    map.draw(options.smoothText);
    if (options.showFps)
        fps.draw(options.smoothText);
}
