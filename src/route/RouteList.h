#ifndef TESSEL_ROUTELIST_H
#define TESSEL_ROUTELIST_H

#include "Route.h"

struct _Routino_Output;

// The library's list of route points turned into a Route: every point for
// the line, the points it marks as worth telling (junctions, roundabouts,
// U-turns, the ends) as turns, with the exit counted at each roundabout.
namespace RouteList {

// The classes of road, as the library names a way that has no name of its
// own (in its English texts), in its order: motorway first.
extern const char* const roadClasses[13];

Route convert(const _Routino_Output* list);

} // namespace RouteList

#endif
