#ifndef TESSEL_FOLLOW_H
#define TESSEL_FOLLOW_H

#include "Fix.h"

// Whether the view follows the fix. While following, every new position
// report puts the fix at the view's centre (as near as the package's area
// lets the view go: a fix outside it leaves the view at the area's edge,
// with the marker at the screen's edge pointing to it), and so does a zoom.
// A pan or a drag by the user stops following; resume() (the key F, the
// toolbar icon) centres on the latest fix and follows again. A report
// without a position moves nothing and leaves following as it was, so the
// next fix is followed. Following starts on.
class Follow {
public:
    // A report came; true when the view should centre on it.
    bool report(const Fix& fix) const { return following && fix.hasPosition(); }
    // The user moved the view.
    void userMoved() { following = false; }
    // Follow again; true when the view should centre on `latest` now.
    bool resume(const Fix& latest)
    {
        following = true;
        return latest.hasPosition();
    }
    // The level changed; true when the view should centre on `latest`.
    bool zoomed(const Fix& latest) const { return report(latest); }

    bool following = true;
};

#endif
