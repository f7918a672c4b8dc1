#ifndef TESSEL_LOOPBACKGPSD_H
#define TESSEL_LOOPBACKGPSD_H

#include "GpsAddress.h"

#include <string>
#include <vector>

// A stand-in for gpsd on a free loopback port: it takes connections and
// sends what a test tells it to every one of them, byte for byte, garbage
// included. It never reads what the clients say.
class LoopbackGpsd {
public:
    LoopbackGpsd();
    ~LoopbackGpsd();
    LoopbackGpsd(const LoopbackGpsd&) = delete;
    LoopbackGpsd& operator=(const LoopbackGpsd&) = delete;

    // Takes the waiting connections; true when there was one.
    bool accept();
    // Sends to every client taken; false when one did not take it whole.
    bool send(const std::string& bytes);
    // Closes every client's connection.
    void hangUp();
    GpsAddress address() const;

    // A 3D TPV report at (lat, lon), `second` seconds after 18:10 on
    // 2026-12-07, with
    // an accuracy of `eph` metres and `more` fields (",\"speed\":2").
    static std::string tpv(double lat, double lon, int second, double eph = 8, const std::string& more = "");

    std::string port;
    int accepted = 0;

private:
    int listener = -1;
    std::vector<int> clients;
};

#endif
