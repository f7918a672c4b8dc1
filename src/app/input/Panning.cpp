#include "Panning.h"

#include "FPS.h"
#include "Map.h"

void Panning::step(Map* map, FPS* fps)
{
    if ((x == 0 && y == 0) || !map->loaded())
        return;
    int speedX = 0, speedY = 0;
    map->moveDistance(x, y, speed, &speedX, &speedY);
    const int stepX = fps->moveDistance(speedX, &carryX);
    const int stepY = fps->moveDistance(speedY, &carryY);
    map->move(stepX, stepY);
}
