#ifndef TESSEL_TRACKFIT_H
#define TESSEL_TRACKFIT_H

#include "Gpx.h"

// The view that brings a whole GPX file into sight: the centre of the box
// around its lines and waypoints (in Web Mercator, so the middle of the
// screen) and the deepest level at which that box fits a screen of
// width × height with `margin` pixels to spare on every side.
namespace TrackFit {

struct View {
    double lon = 0, lat = 0;
    int z = -1; // -1: a single point, which any level shows whole
};

const int deepest = 20;

// False when the file holds no point.
bool fit(const GpxData& data, int width, int height, int margin, View* out);

} // namespace TrackFit

#endif
