#ifndef TESSEL_PAGES_H
#define TESSEL_PAGES_H

#include "ConfParser.h"
#include "Lang.h"
#include "LanguageList.h"
#include "MapUI.h"
#include "Menu.h"
#include "Settings.h"

#include <string>

// The menu pages, in order of creation.
struct Pages {
    int packageList = -1, mapOptions = -1, bg = -1, overlay = -1, options = -1, language = -1, maxFps = -1,
        showFps = -1, showBattery = -1, smoothText = -1, moveSpeed = -1, moveMultiplier = -1, centerCross = -1, showPosition = -1,
        missingTiles = -1, exit = -1;
    int mapBgLine = -1, mapOverlayLine = -1;
    // The language page's lines, in order.
    LanguageList languages;

    // Creates every page in `menu`, with the texts of `lang` and the values
    // of `values` (as `settings` stores them).
    void build(Menu* menu, Lang* lang, MapUI* mapUI, const ConfParser& settings, const Settings& values);

private:
    void buildOptionsPage(Menu* menu, Lang* lang, const ConfParser& settings, const Settings& values);
    int addValuePage(Menu* menu, Lang* lang, const char* textId, int id, const std::string& value);
    void addYesNoPage(Menu* menu, Lang* lang, const char* textId, int id, bool value, int yesId, int* page);
};

#endif
