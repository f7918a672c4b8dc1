#include "RouteProfile.h"

#include "ConfParser.h"

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

RouteProfile RouteProfile::read(const ConfParser& settings)
{
    RouteProfile p;
    std::string text;
    if (settings.value("route_profile", &text))
        parse(text, &p.transport);
    bool shortest;
    if (settings.boolValue("route_shortest", &shortest))
        p.shortest = shortest;
    return p;
}

void RouteProfile::store(ConfParser* settings) const
{
    settings->setValue("route_profile", name());
    settings->setValue("route_shortest", shortest ? "1" : "0");
}
