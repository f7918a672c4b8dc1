#include "PositionKeys.h"

#include "ConfParser.h"

namespace {

const char* const keys[4] = {"pos_x", "pos_y", "move_x", "move_y"};

} // namespace

bool PositionKeys::read(const ConfParser& conf, ViewCentre* at)
{
    int pos[4];
    for (int i = 0; i < 4; ++i)
        if (!conf.intValue(keys[i], &pos[i]))
            return false;
    *at = ViewCentre{pos[0], pos[1], pos[2], pos[3]};
    return true;
}

std::vector<std::pair<std::string, int>> PositionKeys::of(const ViewCentre& at)
{
    return {{keys[0], at.tileX}, {keys[1], at.tileY}, {keys[2], at.pixelX}, {keys[3], at.pixelY}};
}
