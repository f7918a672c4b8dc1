#ifndef TESSEL_PAGES_H
#define TESSEL_PAGES_H

#include "ConfParser.h"
#include "Lang.h"
#include "LanguageList.h"
#include "MapUI.h"
#include "Menu.h"
#include "OptionRow.h"
#include "Settings.h"

#include <string>
#include <vector>

// The menu pages, in order of creation.
struct Pages {
    int packageList = -1, mapOptions = -1, bg = -1, overlay = -1, options = -1, exit = -1;
    int mapBgLine = -1, mapOverlayLine = -1;
    // The page of values behind each row of `OptionTable` offered on the
    // options page (-1 for the others), by the row's index.
    std::vector<int> valuePages;
    // The language page's lines, in order.
    LanguageList languages;

    // Creates every page in `menu`, with the texts of `lang` and the values
    // of `values` (as `settings` stores them).
    void build(Menu* menu, Lang* lang, MapUI* mapUI, const ConfParser& settings, const Settings& values);
    // The page of values of the setting stored under `key`, or -1.
    int pageOf(const std::string& key) const;

private:
    void buildOptionsPage(Menu* menu, Lang* lang, const ConfParser& settings, const Settings& values);
    int addValuePage(Menu* menu, Lang* lang, const char* textId, int id, const std::string& value);
    int addRowPage(Menu* menu, Lang* lang, const OptionRow& row, const ConfParser& settings, const Settings& values);
};

#endif
