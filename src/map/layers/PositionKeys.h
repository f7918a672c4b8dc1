#ifndef TESSEL_POSITIONKEYS_H
#define TESSEL_POSITIONKEYS_H

#include "ViewCentre.h"

#include <string>
#include <utility>
#include <vector>

class ConfParser;

// The position every kind of map keeps in its description or position
// file: "pos_x", "pos_y" (a tile of the area, or of the world for an
// archive) and "move_x", "move_y" (the pixel in it).
struct PositionKeys {
    // False, leaving *at alone, when a key is missing or not a number.
    static bool read(const ConfParser& conf, ViewCentre* at);
    // The four keys and their values, to be saved.
    static std::vector<std::pair<std::string, int>> of(const ViewCentre& at);
};

#endif
