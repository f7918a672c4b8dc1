#ifndef TESSEL_PANNING_H
#define TESSEL_PANNING_H

class FPS;
class Map;

// The pan in progress: its direction (from the arrow keys, or toward a
// press in the edge band) and its speed in pixels per second. Each axis
// keeps its own fraction of a pixel between frames, so a diagonal pan moves
// both axes by the same steps.
class Panning {
public:
    // Moves the map by the distance this frame's time gives the speed.
    // Only an open package is panned.
    void step(Map* map, FPS* fps);
    void stop() { x = y = 0; }

    int x = 0, y = 0; // the direction; 0, 0 for none
    int speed = 0;
    int carryX = 0, carryY = 0;
};

#endif
