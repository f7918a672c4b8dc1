#include "Pages.h"

#include "Layout.h"
#include "MenuLine.h"
#include "OptionTable.h"

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

// The line of one setting with its value, and its page of values.
int Pages::addRowPage(Menu* menu, Lang* lang, const OptionRow& row, const ConfParser& settings, const Settings& values)
{
    switch (row.kind) {
    case OptionRow::Kind::flag: {
        const bool on = values.*row.flag;
        const int page = addValuePage(menu, lang, row.textId, row.line, lang->value(on ? row.yesText : row.noText));
        menu->model.addItem(page, row.yesLine, lang->value(row.yesText), false);
        menu->model.addItem(page, row.yesLine + 1, lang->value(row.noText), false);
        return page;
    }
    case OptionRow::Kind::number: {
        const int value = values.*row.number;
        // The value as the file holds it; no cap reads as the page's own line says.
        std::string stored = std::to_string(value);
        settings.stringValue(row.key, &stored);
        const auto shown = [&](int v, const std::string& text) {
            if (v >= 0 && static_cast<std::size_t>(v) < row.wordTexts.size())
                return lang->value(row.wordTexts[static_cast<std::size_t>(v)]);
            return v == 0 && row.zeroText ? lang->value(row.zeroText) : text + row.unit;
        };
        const int page = addValuePage(menu, lang, row.textId, row.line, shown(value, stored));
        for (int choice : row.choices)
            menu->model.addItem(page, choice, shown(choice, std::to_string(choice)), false);
        return page;
    }
    case OptionRow::Kind::language: {
        const int page = addValuePage(menu, lang, row.textId, row.line, lang->languageName);
        if (languages.scan(Lang::directory)) {
            menu->model.clearMenu(page);
            for (std::size_t i = 0; i < languages.names.size(); ++i)
                menu->model.addItem(page, static_cast<int>(i), languages.names[i], false);
        }
        return page;
    }
    case OptionRow::Kind::text:
        break;
    }
    return -1;
}

void Pages::buildOptionsPage(Menu* menu, Lang* lang, const ConfParser& settings, const Settings& values)
{
    options = menu->model.createOptionsMenu(lang->value("options"), Layout::optionsLabelWidth, Layout::optionsValueWidth,
                                      -1, 9);
    valuePages.clear();
    for (const OptionRow& row : OptionTable::rows())
        valuePages.push_back(row.offered() ? addRowPage(menu, lang, row, settings, values) : -1);
}

int Pages::pageOf(const std::string& key) const
{
    const std::vector<OptionRow>& rows = OptionTable::rows();
    for (std::size_t i = 0; i < rows.size() && i < valuePages.size(); ++i)
        if (key == rows[i].key)
            return valuePages[i];
    return -1;
}
