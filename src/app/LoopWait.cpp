#include "LoopWait.h"

#include "Program.h"

#include <cstdint>

namespace {

// Keeps the sooner of *wait and the time until `due`, which may have passed.
void sooner(int* wait, std::uint32_t now, std::uint32_t due)
{
    const std::int32_t left = static_cast<std::int32_t>(due - now);
    const int ms = left > 0 ? left : 0;
    if (*wait < 0 || ms < *wait)
        *wait = ms;
}

} // namespace

int LoopWait::msUntilDue(const Program& p, std::uint32_t now)
{
    const bool panning = (p.panning.x != 0 || p.panning.y != 0) && p.map.loaded();
    const bool rolling = p.toolBar.rolling() || p.menu.headingRolling() || p.menu.lineRolling() ||
                         p.menu.valueRolling();
    if (panning || rolling || p.commands.quit)
        return 0;
    int wait = -1;
    if (p.options.showBattery)
        sooner(&wait, now, p.battery.nextStep);
    if (p.options.showFps)
        sooner(&wait, now, p.fps.nextTextUpdate);
    if (!p.notification.bgText.empty())
        sooner(&wait, now, p.notification.bgUntil);
    // A fix that stops coming is greyed.
    std::uint32_t staleAt = 0;
    if (p.gps.live.staleAt(&staleAt))
        sooner(&wait, now, staleAt);
    // The progress line moves while a route is computed.
    if (p.route.computing())
        sooner(&wait, now, now + RouteControls::progressMs);
    return wait;
}
