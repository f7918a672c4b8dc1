#ifndef TESSEL_LONLAT_H
#define TESSEL_LONLAT_H

// A place on the globe, in degrees (WGS 84).
struct LonLat {
    double lon = 0, lat = 0;
};

#endif
