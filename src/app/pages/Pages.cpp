#include "Pages.h"

#include "Layout.h"
#include "MenuLine.h"

void Pages::build(Menu* menu, Lang* lang, MapUI* mapUI, const ConfParser& settings, const Settings& values)
{
    packageList = menu->model.createMenu(lang->value("package_list"), -1, 9);
    mapUI->packageList(menu, packageList);
    mapUI->loadCenterCross(Layout::centreCrossImage);

    mapOptions = menu->model.createOptionsMenu(lang->value("map_options"), Layout::mapOptionsLabelWidth,
                                         Layout::mapOptionsValueWidth, -1, 9);
    mapBgLine = menu->model.addItem(mapOptions, MenuLine::background, lang->value("map_bg"), true);
    mapOverlayLine = menu->model.addItem(mapOptions, MenuLine::overlay, lang->value("map_overlay"), true);
    bg = menu->model.createMenu(lang->value("map_bg"), mapOptions, 0);
    overlay = menu->model.createMenu(lang->value("map_overlay"), mapOptions, 0);

    buildOptionsPage(menu, lang, settings, values);

    exit = menu->model.createMenu(lang->value("save_on_exit"), -1, 0);
    menu->model.addItem(exit, MenuLine::saveAndExit, lang->value("save_yes"), false);
    menu->model.addItem(exit, MenuLine::exitWithoutSaving, lang->value("save_no"), false);
}

// Adds a line of the options page with its value, and the page of values
// behind it; returns that page.
int Pages::addValuePage(Menu* menu, Lang* lang, const char* textId, int id, const std::string& value)
{
    const int line = menu->model.addItem(options, id, lang->value(textId), false);
    menu->model.changeValue(options, line, value);
    return menu->model.createMenu(lang->value(textId), options, 0);
}

void Pages::addYesNoPage(Menu* menu, Lang* lang, const char* textId, int id, bool value, int yesId, int* page)
{
    *page = addValuePage(menu, lang, textId, id, lang->value(value ? "yes" : "no"));
    menu->model.addItem(*page, yesId, lang->value("yes"), false);
    menu->model.addItem(*page, yesId + 1, lang->value("no"), false);
}

void Pages::buildOptionsPage(Menu* menu, Lang* lang, const ConfParser& settings, const Settings& values)
{
    options = menu->model.createOptionsMenu(lang->value("options"), Layout::optionsLabelWidth, Layout::optionsValueWidth,
                                      -1, 9);

    language = addValuePage(menu, lang, "language", MenuLine::language, lang->languageName);
    if (languages.scan(Lang::directory)) {
        menu->model.clearMenu(language);
        for (std::size_t i = 0; i < languages.names.size(); ++i)
            menu->model.addItem(language, static_cast<int>(i), languages.names[i], false);
    }

    std::string stored = std::to_string(values.fpsLimit);
    settings.stringValue("fps", &stored);
    // No cap reads as the page's own line says, after a restart too.
    maxFps = addValuePage(menu, lang, "max_fps", MenuLine::maxFps,
                          values.fpsLimit == 0 ? lang->value("fps_unlimited") : stored);
    menu->model.addItem(maxFps, 0, lang->value("fps_unlimited"), false);
    for (int cap : {15, 20, 25, 30, 50, 100, 150})
        menu->model.addItem(maxFps, cap, std::to_string(cap), false);

    addYesNoPage(menu, lang, "show_fps", MenuLine::showFps, values.showFps, MenuLine::showFpsYes, &showFps);
    addYesNoPage(menu, lang, "show_battery", MenuLine::showBattery, values.showBattery, MenuLine::showBatteryYes, &showBattery);
    addYesNoPage(menu, lang, "smooth_text", MenuLine::smoothText, values.smoothText, MenuLine::smoothTextYes, &smoothText);

    stored = std::to_string(values.moveSpeed);
    settings.stringValue("map_move_speed", &stored);
    moveSpeed = addValuePage(menu, lang, "map_move_speed", MenuLine::moveSpeed, stored + " pps");
    for (int speed = 25; speed <= 200; speed += 25)
        menu->model.addItem(moveSpeed, speed, std::to_string(speed) + " pps", false);

    stored = std::to_string(values.moveMultiplier);
    settings.stringValue("map_move_multiplier", &stored);
    moveMultiplier = addValuePage(menu, lang, "map_move_multiplier", MenuLine::moveMultiplier, stored + " x");
    for (int factor = 2; factor <= 5; ++factor)
        menu->model.addItem(moveMultiplier, factor, std::to_string(factor) + " x", false);

    addYesNoPage(menu, lang, "center_cross", MenuLine::centerCross, values.centerCross, MenuLine::centerCrossYes, &centerCross);
    addYesNoPage(menu, lang, "show_position", MenuLine::showPosition, values.showPosition, MenuLine::showPositionYes, &showPosition);

    missingTiles =
        addValuePage(menu, lang, "missing_tiles", MenuLine::missingTiles, lang->value(values.missingParents ? "missing_parent" : "missing_placeholder"));
    menu->model.addItem(missingTiles, MenuLine::missingParent, lang->value("missing_parent"), false);
    menu->model.addItem(missingTiles, MenuLine::missingPlaceholder, lang->value("missing_placeholder"), false);
}
