#ifndef TESSEL_GPSADDRESS_H
#define TESSEL_GPSADDRESS_H

#include <string>

// Where gpsd is: the setting "gps" and the option --gps, "off" or
// HOST:PORT ("[::1]:2947" for an IPv6 address; the port may be left out).
struct GpsAddress {
    static const char* const defaultText; // "localhost:2947"

    bool off = false;
    std::string host = "localhost";
    std::string port = "2947";

    // False for anything else (the address is left alone).
    bool parse(const std::string& text);
};

#endif
