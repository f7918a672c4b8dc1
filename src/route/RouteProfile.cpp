#include "RouteProfile.h"

const char* RouteProfile::libraryName() const
{
    return transport == foot ? "foot" : transport == bicycle ? "bicycle" : "motorcar";
}

const char* RouteProfile::name() const
{
    return transport == foot ? "foot" : transport == bicycle ? "bicycle" : "car";
}

bool RouteProfile::parse(const std::string& text, Transport* out)
{
    for (Transport t : {foot, bicycle, car}) {
        RouteProfile p;
        p.transport = t;
        if (text == p.name()) {
            *out = t;
            return true;
        }
    }
    return false;
}
