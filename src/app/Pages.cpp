#include "Pages.h"

void Pages::build(Menu* menu, Lang* lang, MapUI* mapUI, const ConfParser& settings, const Settings& values)
{
    packageList = menu->createMenu(lang->value("package_list"), -1, 9);
    mapUI->packageList(menu, packageList);
    mapUI->loadCenterCross("media/cross.png");

    mapOptions = menu->createOptionsMenu(lang->value("map_options"), 122, 100, -1, 9);
    mapBgLine = menu->addItem(mapOptions, 1, lang->value("map_bg"), true);
    mapOverlayLine = menu->addItem(mapOptions, 2, lang->value("map_overlay"), true);
    bg = menu->createMenu(lang->value("map_bg"), mapOptions, 0);
    overlay = menu->createMenu(lang->value("map_overlay"), mapOptions, 0);

    buildOptionsPage(menu, lang, settings, values);

    exit = menu->createMenu(lang->value("save_on_exit"), -1, 0);
    menu->addItem(exit, 3, lang->value("save_yes"), false);
    menu->addItem(exit, 4, lang->value("save_no"), false);
}

// Adds a line of the options page with its value, and the page of values
// behind it; returns that page.
int Pages::addValuePage(Menu* menu, Lang* lang, const char* textId, int id, const std::string& value)
{
    const int line = menu->addItem(options, id, lang->value(textId), false);
    menu->changeValue(options, line, value);
    return menu->createMenu(lang->value(textId), options, 0);
}

void Pages::addYesNoPage(Menu* menu, Lang* lang, const char* textId, int id, bool value, int yesId, int* page)
{
    *page = addValuePage(menu, lang, textId, id, lang->value(value ? "yes" : "no"));
    menu->addItem(*page, yesId, lang->value("yes"), false);
    menu->addItem(*page, yesId + 1, lang->value("no"), false);
}

void Pages::buildOptionsPage(Menu* menu, Lang* lang, const ConfParser& settings, const Settings& values)
{
    options = menu->createOptionsMenu(lang->value("options"), 158, 64, -1, 9);

    language = addValuePage(menu, lang, "language", 5, lang->languageName);
    if (lang->scan()) {
        menu->clearMenu(language);
        for (std::size_t i = 0; i < lang->languageNames.size(); ++i)
            menu->addItem(language, static_cast<int>(i), lang->languageNames[i], false);
    }

    std::string stored = std::to_string(values.fpsLimit);
    settings.stringValue("fps", &stored);
    maxFps = addValuePage(menu, lang, "max_fps", 6, stored);
    menu->addItem(maxFps, 0, lang->value("fps_unlimited"), false);
    for (int cap : {15, 20, 25, 30, 50, 100, 150})
        menu->addItem(maxFps, cap, std::to_string(cap), false);

    addYesNoPage(menu, lang, "show_fps", 7, values.showFps, 8, &showFps);
    addYesNoPage(menu, lang, "show_battery", 10, values.showBattery, 11, &showBattery);
    addYesNoPage(menu, lang, "smooth_text", 13, values.smoothText, 14, &smoothText);

    stored = std::to_string(values.moveSpeed);
    settings.stringValue("map_move_speed", &stored);
    moveSpeed = addValuePage(menu, lang, "map_move_speed", 19, stored + " pps");
    for (int speed = 25; speed <= 200; speed += 25)
        menu->addItem(moveSpeed, speed, std::to_string(speed) + " pps", false);

    stored = std::to_string(values.moveMultiplier);
    settings.stringValue("map_move_multiplier", &stored);
    moveMultiplier = addValuePage(menu, lang, "map_move_multiplier", 20, stored + " x");
    for (int factor = 2; factor <= 5; ++factor)
        menu->addItem(moveMultiplier, factor, std::to_string(factor) + " x", false);

    addYesNoPage(menu, lang, "center_cross", 21, values.centerCross, 22, &centerCross);
    addYesNoPage(menu, lang, "show_position", 26, values.showPosition, 27, &showPosition);

    missingTiles =
        addValuePage(menu, lang, "missing_tiles", 23, lang->value(values.missingParents ? "missing_parent" : "missing_placeholder"));
    menu->addItem(missingTiles, 24, lang->value("missing_parent"), false);
    menu->addItem(missingTiles, 25, lang->value("missing_placeholder"), false);
}
