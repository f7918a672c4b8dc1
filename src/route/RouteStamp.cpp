#include "RouteStamp.h"

#include "ConfParser.h"
#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <routino.h>

const char* const RouteStamp::fileName = "routes.conf";

namespace {

const char* machineOrder()
{
    const unsigned one = 1;
    return *reinterpret_cast<const unsigned char*>(&one) == 1 ? "little-endian" : "big-endian";
}

bool number(const std::string& text, double low, double high, double* out)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= low && v <= high))
        return false;
    *out = v;
    return true;
}

} // namespace

RouteStamp RouteStamp::current(const RouteArea& area)
{
    RouteStamp s;
    s.version = Routino_Version;
    s.byteOrder = machineOrder();
    s.area = area;
    return s;
}

bool RouteStamp::read(const std::string& dir)
{
    const std::string path = dir + "/" + fileName;
    if (!SafeFile::present(path))
        return false;
    ConfParser conf(path, 0);
    conf.value("routino", &version);
    conf.value("byte_order", &byteOrder);
    std::string text[4];
    const char* keys[4] = {"south", "west", "north", "east"};
    for (int i = 0; i < 4; ++i)
        conf.value(keys[i], &text[i]);
    RouteArea box;
    double s, w, n, e;
    if (!number(text[0], -90, 90, &s) || !number(text[1], -180, 180, &w) || !number(text[2], s, 90, &n) ||
        !number(text[3], w, 180, &e))
        return !version.empty();
    box.add(s, w);
    box.add(n, e);
    area = box;
    return true;
}

bool RouteStamp::write(const std::string& dir) const
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "# Routing data made by tessel-pack routes.\nroutino=%s\nbyte_order=%s\n"
                  "south=%.7f\nwest=%.7f\nnorth=%.7f\neast=%.7f\n",
                  version.c_str(), byteOrder.c_str(), area.south, area.west, area.north, area.east);
    return SafeFile::writeDurably(dir + "/" + fileName, text);
}

std::string RouteStamp::mismatch() const
{
    if (!byteOrder.empty() && byteOrder != machineOrder())
        return "made on a " + byteOrder + " machine; this one is " + machineOrder() +
               ": make the routing data again on a machine like this one";
    if (version != Routino_Version)
        return "made by Routino " + (version.empty() ? std::string("(unknown)") : version) + "; this program uses " +
               Routino_Version + ": make the routing data again with tessel-pack routes";
    return {};
}
