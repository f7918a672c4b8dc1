#ifndef TESSEL_ROUTEAREA_H
#define TESSEL_ROUTEAREA_H

// The box of the nodes a routing database holds, in degrees.
struct RouteArea {
    double south = 0, west = 0, north = 0, east = 0;
    bool empty = true;

    // Whether the point lies in the box widened by `marginDegrees`: an end
    // just outside the last road may still find it.
    bool covers(double lat, double lon, double marginDegrees = 0.01) const
    {
        return !empty && lat >= south - marginDegrees && lat <= north + marginDegrees &&
               lon >= west - marginDegrees && lon <= east + marginDegrees;
    }
    void add(double lat, double lon)
    {
        if (empty || lat < south) south = lat;
        if (empty || lat > north) north = lat;
        if (empty || lon < west) west = lon;
        if (empty || lon > east) east = lon;
        empty = false;
    }
};

#endif
