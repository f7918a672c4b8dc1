#include "OptionTable.h"

#include "CommandParts.h"
#include "FPS.h"
#include "LabelLanguage.h"
#include "Map.h"
#include "Panning.h"
#include "Settings.h"

namespace {

OptionRow flagRow(const char* key, const char* textId, int line, int yesLine, bool Settings::*field)
{
    OptionRow row;
    row.key = key;
    row.textId = textId;
    row.line = line;
    row.yesLine = yesLine;
    row.flag = field;
    return row;
}

OptionRow numberRow(const char* key, const char* textId, int line, int Settings::*field, int low, int high,
                    std::vector<int> choices, const char* unit)
{
    OptionRow row;
    row.key = key;
    row.textId = textId;
    row.kind = OptionRow::Kind::number;
    row.line = line;
    row.number = field;
    row.low = low;
    row.high = high;
    row.choices = std::move(choices);
    row.unit = unit;
    return row;
}

OptionRow textRow(const char* key, std::string Settings::*field)
{
    OptionRow row;
    row.key = key;
    row.kind = OptionRow::Kind::text;
    row.text = field;
    return row;
}

// The boost key is held while the current speed differs from the base speed.
void changeSpeed(const CommandParts& parts, int speed)
{
    const Settings& options = *parts.options;
    Panning& pan = *parts.panning;
    if (pan.speed != options.moveSpeed)
        pan.speed = speed * options.moveMultiplier;
    else
        pan.speed = speed;
}

void changeMultiplier(const CommandParts& parts, int factor)
{
    if (parts.panning->speed != parts.options->moveSpeed)
        parts.panning->speed = parts.options->moveSpeed * factor;
}

std::vector<OptionRow> makeRows()
{
    std::vector<OptionRow> rows;
    OptionRow language = textRow("language", &Settings::language);
    language.kind = OptionRow::Kind::language;
    language.textId = "language";
    language.line = 5;
    rows.push_back(language);

    OptionRow fps = numberRow("fps", "max_fps", 6, &Settings::fpsLimit, 0, 1000, {0, 15, 20, 25, 30, 50, 100, 150}, "");
    fps.zeroText = "fps_unlimited";
    fps.apply = [](const CommandParts& parts, int limit) { parts.fps->setLimit(limit); };
    rows.push_back(fps);

    rows.push_back(flagRow("show_fps", "show_fps", 7, 8, &Settings::showFps));
    OptionRow battery = flagRow("show_battery", "show_battery", 10, 11, &Settings::showBattery);
    battery.keepWord = "auto"; // where the machine has a battery
    rows.push_back(battery);
    rows.push_back(flagRow("smooth", "smooth_text", 13, 14, &Settings::smoothText));

    OptionRow speed = numberRow("map_move_speed", "map_move_speed", 19, &Settings::moveSpeed, 1, 100000,
                                {25, 50, 75, 100, 125, 150, 175, 200}, " pps");
    speed.apply = changeSpeed;
    rows.push_back(speed);
    OptionRow boost = numberRow("map_move_multiplier", "map_move_multiplier", 20, &Settings::moveMultiplier, 1, 100,
                                {2, 3, 4, 5}, " x");
    boost.apply = changeMultiplier;
    rows.push_back(boost);

    rows.push_back(flagRow("center_cross", "center_cross", 21, 22, &Settings::centerCross));
    rows.push_back(flagRow("show_position", "show_position", 26, 27, &Settings::showPosition));

    OptionRow missing = flagRow("missing_tiles", "missing_tiles", 23, 24, &Settings::missingParents);
    missing.yesWord = "parent";
    missing.noWord = "placeholder";
    missing.yesText = "missing_parent";
    missing.noText = "missing_placeholder";
    missing.apply = [](const CommandParts& parts, int parents) { parts.map->setMissingParents(parents != 0); };
    rows.push_back(missing);

    OptionRow labels = numberRow("label_language", "label_language", 41, &Settings::labelLanguage, 0, 2, {0, 1, 2}, "");
    labels.words = {"local", "latin", "english"};
    labels.wordTexts = {"labels_local", "labels_latin", "labels_english"};
    labels.apply = [](const CommandParts& parts, int choice) {
        LabelLanguage::choose(static_cast<LabelLanguage::Choice>(choice));
        parts.map->redrawPictures();
    };
    rows.push_back(labels);

    // Read from the file, changed elsewhere or not at all.
    rows.push_back(numberRow("tile_cache_kb", nullptr, 0, &Settings::tileCacheKb, 0, 1 << 20, {}, ""));
    rows.push_back(flagRow("background_loading", nullptr, 0, 0, &Settings::backgroundLoading));
    rows.push_back(textRow("gps", &Settings::gps));
    rows.push_back(flagRow("record_track", nullptr, 0, 0, &Settings::recordTrack));
    // Chosen on the route page.
    rows.push_back(textRow("route_profile", &Settings::routeProfile));
    OptionRow shortest = flagRow("route_shortest", nullptr, 0, 0, &Settings::routeShortest);
    shortest.yesWord = "1";
    shortest.noWord = "0";
    rows.push_back(shortest);
    return rows;
}

} // namespace

const std::vector<OptionRow>& OptionTable::rows()
{
    static const std::vector<OptionRow> table = makeRows();
    return table;
}
