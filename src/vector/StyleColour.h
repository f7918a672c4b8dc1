#ifndef TESSEL_STYLECOLOUR_H
#define TESSEL_STYLECOLOUR_H

#include <string>

// A colour of a style, channels 0..1, straight (not premultiplied) alpha.
struct StyleColour {
    double r = 0, g = 0, b = 0, a = 1;

    // CSS forms a style uses: #rgb, #rrggbb, #rrggbbaa, rgb(), rgba(),
    // hsl(), hsla() and a few names; false when `text` is none of them.
    static bool parse(const std::string& text, StyleColour* out);
    // The same hue for a dark map: lightness turned over, saturation kept.
    StyleColour dark() const;
    StyleColour mix(const StyleColour& to, double t) const;
};

#endif
