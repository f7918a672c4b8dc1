#include "PositionMarker.h"

#include "Map.h"
#include "MarkerPlace.h"
#include "Mercator.h"
#include "Signature.h"

#include <cairo.h>
#include <cmath>

const SDL_Rect PositionMarker::indicatorBox{285, 3, 10, 10};

namespace {

// Larger circles say nothing on a 320-pixel screen.
const double maxAccuracyPixels = 1000;

// Cairo drawing straight into the 16-bit screen, inside its clip
// rectangle; none when the screen is not RGB 5-6-5.
class Canvas {
public:
    explicit Canvas(SDL_Surface* screen) : screen(screen)
    {
        const SDL_PixelFormat* f = screen->format;
        if (f->BytesPerPixel != 2 || f->Rmask != 0xF800 || f->Gmask != 0x07E0 || f->Bmask != 0x001F ||
            SDL_LockSurface(screen) != 0)
            return;
        surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(screen->pixels), CAIRO_FORMAT_RGB16_565,
                                                      screen->w, screen->h, screen->pitch);
        c = cairo_create(surface);
        const SDL_Rect& clip = screen->clip_rect;
        cairo_rectangle(c, clip.x, clip.y, clip.w, clip.h);
        cairo_clip(c);
    }
    ~Canvas()
    {
        if (!c)
            return;
        cairo_destroy(c);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
        SDL_UnlockSurface(screen);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    SDL_Surface* const screen;
    cairo_surface_t* surface = nullptr;
    cairo_t* c = nullptr;
};

// A triangle at (x, y) pointing `towards` (clockwise from up), its tip
// `reach` pixels out.
void arrow(cairo_t* c, double x, double y, double towards, double reach, double width)
{
    const double dx = std::sin(towards), dy = -std::cos(towards);
    cairo_move_to(c, x + dx * reach, y + dy * reach);
    cairo_line_to(c, x - dy * width, y + dx * width);
    cairo_line_to(c, x + dy * width, y - dx * width);
    cairo_close_path(c);
}

} // namespace

bool PositionMarker::look(const Fix& fix, const Map& map, Look* out)
{
    int z = 0;
    if (!fix.hasPosition() || !map.loaded() || !map.mercatorLevel(&z))
        return false;
    double wx, wy, originX, originY;
    Mercator::toPixel(fix.lon, fix.lat, z, &wx, &wy);
    map.worldPixel(0, 0, &originX, &originY);
    const MarkerPlace place = MarkerPlace::of(wx - originX, wy - originY, map.viewWidth, map.viewHeight, radius + 4);
    Look look;
    look.x = std::round(place.x);
    look.y = std::round(place.y);
    look.atEdge = place.atEdge;
    if (place.atEdge) {
        look.towards = std::atan2(wx - originX - map.viewWidth / 2.0, -(wy - originY - map.viewHeight / 2.0));
    } else {
        look.course = std::isfinite(fix.course) && std::isfinite(fix.speed) && fix.speed >= movingSpeed;
        look.towards = look.course ? fix.course * M_PI / 180 : 0;
        const double pixels = fix.accuracy / Mercator::metresPerPixel(fix.lat, z);
        look.accuracyPixels = std::isfinite(pixels) && pixels > radius ? std::round(std::fmin(pixels, maxAccuracyPixels)) : 0;
    }
    *out = look;
    return true;
}

void PositionMarker::draw(SDL_Surface* screen, const Look& look)
{
    Canvas canvas(screen);
    cairo_t* c = canvas.c;
    if (!c)
        return;
    if (look.accuracyPixels > 0) {
        cairo_arc(c, look.x, look.y, look.accuracyPixels, 0, 2 * M_PI);
        cairo_set_source_rgba(c, 0.12, 0.47, 1, 0.15);
        cairo_fill_preserve(c);
        cairo_set_source_rgba(c, 0.12, 0.47, 1, 0.7);
        cairo_set_line_width(c, 1);
        cairo_stroke(c);
    }
    if (look.atEdge || look.course) {
        const double reach = look.atEdge ? radius + 3 : radius + 7;
        arrow(c, look.x, look.y, look.towards, reach, radius);
        cairo_set_source_rgb(c, 1, 1, 1);
        cairo_set_line_width(c, 3);
        cairo_stroke_preserve(c);
        cairo_set_source_rgb(c, 0.12, 0.47, 1);
        cairo_fill(c);
    }
    cairo_arc(c, look.x, look.y, look.atEdge ? radius - 2 : radius, 0, 2 * M_PI);
    cairo_set_source_rgb(c, 1, 1, 1);
    cairo_set_line_width(c, 2);
    cairo_stroke_preserve(c);
    cairo_set_source_rgb(c, 0.12, 0.47, 1);
    cairo_fill(c);
}

void PositionMarker::sign(Signature* signature, const Look& look)
{
    signature->add(static_cast<std::uint64_t>(static_cast<std::int64_t>(look.x)));
    signature->add(static_cast<std::uint64_t>(static_cast<std::int64_t>(look.y)));
    signature->add(static_cast<std::uint64_t>(look.atEdge) | static_cast<std::uint64_t>(look.course) << 1);
    signature->add(static_cast<std::uint64_t>(std::llround(look.towards * 1000)));
    signature->add(static_cast<std::uint64_t>(look.accuracyPixels));
}

void PositionMarker::drawIndicator(SDL_Surface* screen, const GpsStatus& status)
{
    if (status.link == GpsStatus::off)
        return;
    Canvas canvas(screen);
    cairo_t* c = canvas.c;
    if (!c)
        return;
    const double cx = indicatorBox.x + indicatorBox.w / 2.0, cy = indicatorBox.y + indicatorBox.h / 2.0;
    cairo_arc(c, cx, cy, indicatorBox.w / 2.0 - 1, 0, 2 * M_PI);
    cairo_set_line_width(c, 1.5);
    if (status.link == GpsStatus::waiting) {
        cairo_set_source_rgb(c, 0.6, 0.6, 0.6);
        cairo_stroke(c);
        return;
    }
    const FixMode mode = status.fix.mode;
    if (mode == FixMode::threeD)
        cairo_set_source_rgb(c, 0.42, 0.82, 0.42);
    else if (mode == FixMode::twoD)
        cairo_set_source_rgb(c, 1, 0.75, 0);
    else
        cairo_set_source_rgb(c, 0.91, 0.35, 0.24);
    cairo_fill_preserve(c);
    cairo_set_source_rgb(c, 0, 0, 0);
    cairo_set_line_width(c, 1);
    cairo_stroke(c);
}
