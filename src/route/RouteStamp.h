#ifndef TESSEL_ROUTESTAMP_H
#define TESSEL_ROUTESTAMP_H

#include "RouteArea.h"

#include <string>

// What the toolbox writes beside the routing files ("routes.conf"): the
// version of the routing library and the byte order that made them (the
// files themselves carry neither) and the box of their nodes, so that the
// viewer can choose among areas without reading them.
struct RouteStamp {
    static const char* const fileName;
    std::string version;
    std::string byteOrder;
    RouteArea area;

    // The stamp for files made here, now.
    static RouteStamp current(const RouteArea& area);
    // Reads `dir`/routes.conf; false when there is none or it is unreadable.
    bool read(const std::string& dir);
    // Writes it crash-safely into `dir`.
    bool write(const std::string& dir) const;
    // Empty when files with this stamp can be used here; else the reason.
    std::string mismatch() const;
};

#endif
