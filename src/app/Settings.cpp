#include "Settings.h"

#include <algorithm>

void Settings::readFrom(const ConfParser& conf)
{
    conf.intValue("fps", &fpsLimit);
    conf.boolValue("show_fps", &showFps);
    // The symbol where the machine has a battery, unless the file says.
    std::string battery = "auto";
    conf.stringValue("show_battery", &battery);
    showBattery = batteryFound;
    if (battery != "auto")
        conf.boolValue("show_battery", &showBattery);
    conf.boolValue("smooth", &smoothText);
    conf.intValue("map_move_speed", &moveSpeed);
    conf.intValue("map_move_multiplier", &moveMultiplier);
    conf.boolValue("center_cross", &centerCross);
    conf.boolValue("show_position", &showPosition);
    conf.stringValue("language", &language);
    // Numbers from the file are kept to ranges the program can work with.
    fpsLimit = std::max(0, std::min(fpsLimit, 1000));
    moveSpeed = std::max(1, std::min(moveSpeed, 100000));
    moveMultiplier = std::max(1, std::min(moveMultiplier, 100));
    conf.intValue("tile_cache_kb", &tileCacheKb);
    tileCacheKb = std::max(0, std::min(tileCacheKb, 1 << 20));
    std::string missing;
    if (conf.stringValue("missing_tiles", &missing))
        missingParents = missing != "placeholder";
    conf.boolValue("background_loading", &backgroundLoading);
    conf.stringValue("gps", &gps);
    conf.boolValue("record_track", &recordTrack);
}
