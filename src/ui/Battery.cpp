#include "Battery.h"

#include "FPS.h"

#include "Image.h"

#include <dirent.h>
#include <fstream>

Battery::Battery(SDL_Surface* surface, FPS* fps, SDL_Rect box, std::string full, std::string mid, std::string low,
                 std::string empty)
    : surface(surface), box(box), fps(fps)
{
    const std::string files[4] = {full, mid, low, empty};
    for (int i = 0; i < 4; ++i)
        levelImages[i] = Image::loadAlpha(files[i]);
}

Battery::~Battery()
{
    for (SDL_Surface*& image : levelImages)
        Image::release(&image);
}

void Battery::draw()
{
    if (fps->ticks() >= nextStep) {
        level = level <= 0 ? 3 : level - 1;
        nextStep = fps->ticks() + stepMs;
    }
    Image::drawAt(levelImages[level > 2 ? 3 : level], surface, box.x, box.y);
}

bool Battery::found(const std::string& powerSupplies)
{
    DIR* dir = opendir(powerSupplies.c_str());
    if (!dir)
        return false;
    bool battery = false;
    while (const dirent* entry = readdir(dir)) {
        std::ifstream type(powerSupplies + "/" + entry->d_name + "/type");
        std::string word;
        std::ifstream present(powerSupplies + "/" + entry->d_name + "/present");
        std::string there = "1";
        present >> there;
        if (type >> word && word == "Battery" && there != "0")
            battery = true;
    }
    closedir(dir);
    return battery;
}
