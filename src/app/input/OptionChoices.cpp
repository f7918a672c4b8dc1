#include "OptionChoices.h"

#include "FPS.h"
#include "Lang.h"
#include "Map.h"
#include "Menu.h"
#include "MenuLine.h"
#include "Pages.h"
#include "Panning.h"
#include "Settings.h"

#include <string>

bool OptionChoices::choose(int a)
{
    const Pages& pages = *parts.pages;
    const int page = parts.menu->model.current;
    if (page == pages.language) {
        if (a >= 0 && a < static_cast<int>(pages.languages.files.size()))
            parts.lang->load(pages.languages.files[static_cast<std::size_t>(a)]);
    } else if (page == pages.maxFps) {
        setFpsLimit(a);
    } else if (page == pages.missingTiles) {
        setMissingTiles(a);
    } else if (page == pages.moveSpeed) {
        changeSpeed(a);
    } else if (page == pages.moveMultiplier) {
        changeMultiplier(a);
    } else {
        return storeYesNo(a);
    }
    return true;
}

// A choice in one of the yes/no pages: sets its variable (the first line
// means yes, the second no) and stores it as "yes" or "no". False when the
// page shown is none of them.
bool OptionChoices::storeYesNo(int a)
{
    const Pages& pages = *parts.pages;
    Settings& options = *parts.options;
    const struct {
        int page;
        const char* key;
        int yesId;
        bool* variable;
    } choices[] = {
        {pages.showFps, "show_fps", MenuLine::showFpsYes, &options.showFps},
        {pages.showBattery, "show_battery", MenuLine::showBatteryYes, &options.showBattery},
        {pages.smoothText, "smooth", MenuLine::smoothTextYes, &options.smoothText},
        {pages.centerCross, "center_cross", MenuLine::centerCrossYes, &options.centerCross},
        {pages.showPosition, "show_position", MenuLine::showPositionYes, &options.showPosition},
    };
    for (const auto& choice : choices) {
        if (parts.menu->model.current != choice.page)
            continue;
        if (a == choice.yesId)
            *choice.variable = true;
        else if (a == choice.yesId + 1)
            *choice.variable = false;
        parts.settings->setValue(choice.key, *choice.variable ? "yes" : "no");
        return true;
    }
    return false;
}

void OptionChoices::setFpsLimit(int limit)
{
    parts.fps->setLimit(limit);
    parts.settings->setValue("fps", std::to_string(limit));
}

void OptionChoices::setMissingTiles(int a)
{
    parts.options->missingParents = a == MenuLine::missingParent;
    parts.settings->setValue("missing_tiles", parts.options->missingParents ? "parent" : "placeholder");
    parts.map->setMissingParents(parts.options->missingParents);
}

// The boost key is held while the current speed differs from the base speed.
void OptionChoices::changeSpeed(int speed)
{
    Settings& options = *parts.options;
    Panning& pan = *parts.panning;
    const bool boosted = pan.speed != options.moveSpeed;
    options.moveSpeed = speed;
    pan.speed = boosted ? speed * options.moveMultiplier : speed;
    parts.settings->setValue("map_move_speed", std::to_string(speed));
}

void OptionChoices::changeMultiplier(int factor)
{
    Settings& options = *parts.options;
    if (parts.panning->speed != options.moveSpeed)
        parts.panning->speed = options.moveSpeed * factor;
    options.moveMultiplier = factor;
    parts.settings->setValue("map_move_multiplier", std::to_string(factor));
}
