#ifndef TESSEL_TOOLACTION_H
#define TESSEL_TOOLACTION_H

// The toolbar's icons, in the order they are added; each icon's id is its
// action.
struct ToolAction {
    enum Id : int { zoomIn, zoomOut, openPackage, save, options, mapOptions, follow, exit, search, mark, count };
};

#endif
