#ifndef TESSEL_BATTERY_H
#define TESSEL_BATTERY_H

#include <SDL.h>
#include <string>

class FPS;

// A battery symbol stepped by time, one level every 10 seconds in a fixed
// cycle; nothing is read from the device.
class Battery {
public:
    static const Uint32 stepMs = 10000;

    // Images for level indices 0 (full) to 3 (empty). A missing image is
    // simply not drawn.
    Battery(SDL_Surface* surface, FPS* fps, SDL_Rect box, std::string full, std::string mid, std::string low,
            std::string empty);
    ~Battery();
    Battery(const Battery&) = delete;
    Battery& operator=(const Battery&) = delete;

    // Steps the level when due and draws its image at the box's position.
    void draw();
    // Whether the machine has a battery: a power supply of type "Battery"
    // under `powerSupplies` (Linux's sysfs class). Without one the symbol
    // is hidden unless the settings ask for it.
    static bool found(const std::string& powerSupplies = "/sys/class/power_supply");

    SDL_Surface* surface;
    Uint32 nextStep = 0;
    SDL_Rect box;
    SDL_Surface* levelImages[4] = {nullptr, nullptr, nullptr, nullptr};
    int level = 3;

private:
    FPS* fps;
};

#endif
