#include "PositionMarker.h"

#include "Map.h"
#include "MarkerPlace.h"
#include "Mercator.h"
#include "Rects.h"
#include "Signature.h"

#include <cairo.h>
#include <cmath>

const SDL_Rect PositionMarker::indicatorBox{285, 3, 10, 10};
const SDL_Rect PositionMarker::followOffBox{271, 3, 10, 10};

namespace {

// A circle wider than this is only outlined: a tint over much of the
// screen would hide the map.
const int maxFilledPixels = 60;
// The marker's sprite: the course arrow reaches radius + 7, its white rim
// 1.5 more.
const int markerSprite = 2 * (PositionMarker::radius + 10) + 1;

// A triangle at (x, y) pointing `towards` (radians clockwise from up), its
// tip `reach` pixels out.
void arrow(cairo_t* c, double x, double y, double towards, double reach, double width)
{
    const double dx = std::sin(towards), dy = -std::cos(towards);
    cairo_move_to(c, x + dx * reach, y + dy * reach);
    cairo_line_to(c, x - dy * width, y + dx * width);
    cairo_line_to(c, x + dy * width, y - dx * width);
    cairo_close_path(c);
}

void paintMarker(cairo_t* c, const PositionMarker::Look& look)
{
    const double centre = markerSprite / 2 + 0.5;
    const int r = PositionMarker::radius;
    const double fill[3] = {look.stale ? 0.55 : 0.12, look.stale ? 0.55 : 0.47, look.stale ? 0.55 : 1.0};
    if (look.atEdge || look.course) {
        arrow(c, centre, centre, look.towards * M_PI / 180, look.atEdge ? r + 3 : r + 7, r);
        cairo_set_source_rgb(c, 1, 1, 1);
        cairo_set_line_width(c, 3);
        cairo_stroke_preserve(c);
        cairo_set_source_rgb(c, fill[0], fill[1], fill[2]);
        cairo_fill(c);
    }
    cairo_arc(c, centre, centre, look.atEdge ? r - 2 : r, 0, 2 * M_PI);
    cairo_set_source_rgb(c, 1, 1, 1);
    cairo_set_line_width(c, 2);
    cairo_stroke_preserve(c);
    cairo_set_source_rgb(c, fill[0], fill[1], fill[2]);
    cairo_fill(c);
}

void paintIndicator(cairo_t* c, int state)
{
    const double centre = PositionMarker::indicatorBox.w / 2.0;
    cairo_arc(c, centre, centre, centre - 1, 0, 2 * M_PI);
    cairo_set_line_width(c, 1.5);
    if (state == 0) {
        cairo_set_source_rgb(c, 0.6, 0.6, 0.6);
        cairo_stroke(c);
        return;
    }
    const double colours[3][3] = {{0.91, 0.35, 0.24}, {1, 0.75, 0}, {0.42, 0.82, 0.42}};
    cairo_set_source_rgb(c, colours[state - 1][0], colours[state - 1][1], colours[state - 1][2]);
    cairo_fill_preserve(c);
    cairo_set_source_rgb(c, 0, 0, 0);
    cairo_set_line_width(c, 1);
    cairo_stroke(c);
}

void paintFollowOff(cairo_t* c)
{
    const double centre = PositionMarker::followOffBox.w / 2.0;
    cairo_arc(c, centre, centre, centre - 2, 0, 2 * M_PI);
    cairo_set_source_rgb(c, 1, 1, 1);
    cairo_set_line_width(c, 1.5);
    cairo_stroke_preserve(c);
    cairo_set_source_rgb(c, 0.12, 0.47, 1);
    cairo_fill(c);
    cairo_move_to(c, 1, 1);
    cairo_line_to(c, 2 * centre - 1, 2 * centre - 1);
    cairo_set_source_rgb(c, 0.1, 0.1, 0.1);
    cairo_set_line_width(c, 1.5);
    cairo_stroke(c);
}

} // namespace

SDL_Rect PositionMarker::Look::box() const
{
    const int reach = std::max(accuracyPixels + 1, markerSprite / 2 + 1);
    return SDL_Rect{static_cast<Sint16>(std::max(-30000, x - reach)), static_cast<Sint16>(std::max(-30000, y - reach)),
                    static_cast<Uint16>(2 * reach + 1), static_cast<Uint16>(2 * reach + 1)};
}

bool PositionMarker::look(const Fix& fix, const Map& map, Look* out, bool stale)
{
    int z = 0;
    if (!fix.hasPosition() || !map.loaded() || !map.mercatorLevel(&z))
        return false;
    double sx, sy;
    map.toScreen(LonLat{fix.lon, fix.lat}, &sx, &sy);
    const MarkerPlace place = MarkerPlace::of(sx, sy, map.grid.viewWidth, map.grid.viewHeight, radius + 4);
    Look look;
    look.x = static_cast<int>(std::lround(place.x));
    look.y = static_cast<int>(std::lround(place.y));
    look.atEdge = place.atEdge;
    look.stale = stale;
    double towards = 0;
    if (place.atEdge) {
        towards = std::atan2(sx - map.grid.viewWidth / 2.0, -(sy - map.grid.viewHeight / 2.0)) * 180 / M_PI;
    } else if (!stale) {
        look.course = std::isfinite(fix.course) && std::isfinite(fix.speed) && fix.speed >= movingSpeed;
        towards = look.course ? fix.course : 0;
        // A circle larger than the screen has no edge to see: none.
        const double pixels = fix.accuracy / Mercator::metresPerPixel(fix.lat, z);
        const double screenHalf = std::hypot(map.grid.viewWidth, map.grid.viewHeight) / 2;
        look.accuracyPixels =
            std::isfinite(pixels) && pixels > radius && pixels <= screenHalf ? static_cast<int>(std::lround(pixels)) : 0;
        look.filled = look.accuracyPixels <= maxFilledPixels;
    }
    // In steps the arrow's tip (12 pixels out) shows, so that a course that
    // wavers by a degree redraws nothing.
    const long step = std::lround((std::isfinite(towards) ? towards : 0) / courseStep) * courseStep;
    look.towards = static_cast<int>(step % 360 + 360) % 360;
    *out = look;
    return true;
}

void PositionMarker::draw(SDL_Surface* screen, const Look& look)
{
    if (!intersects(screen->clip_rect, look.box()))
        return;
    if (look.accuracyPixels > 0)
        disc.draw(screen, look.x, look.y, look.accuracyPixels, look.filled);
    const int key = ((look.atEdge ? 2 : look.course ? 1 : 0) * 360 + (look.atEdge || look.course ? look.towards : 0)) * 2 +
                    (look.stale ? 1 : 0);
    if (key != markerKey) {
        marker.paint(markerSprite, [&look](cairo_t* c) { paintMarker(c, look); });
        markerKey = key;
    }
    marker.draw(screen, look.x, look.y);
}

void PositionMarker::sign(Signature* signature, const Look& look)
{
    signature->add(static_cast<std::uint64_t>(static_cast<std::uint32_t>(look.x)) << 32 |
                   static_cast<std::uint32_t>(look.y));
    signature->add(static_cast<std::uint64_t>(look.atEdge) | static_cast<std::uint64_t>(look.course) << 1 |
                   static_cast<std::uint64_t>(look.towards) << 2 | static_cast<std::uint64_t>(look.accuracyPixels) << 16 |
                   static_cast<std::uint64_t>(look.stale) << 48 | static_cast<std::uint64_t>(look.filled) << 49);
}

void PositionMarker::drawIndicator(SDL_Surface* screen, const GpsStatus& status, bool stale)
{
    if (status.link == GpsStatus::off || !intersects(screen->clip_rect, indicatorBox))
        return;
    int state = 0;
    if (status.link == GpsStatus::connected && stale)
        state = 1;
    else if (status.link == GpsStatus::connected)
        state = status.fix.mode == FixMode::threeD ? 3 : status.fix.mode == FixMode::twoD ? 2 : 1;
    Sprite& sprite = indicators[state];
    if (sprite.empty())
        sprite.paint(indicatorBox.w + 1, [state](cairo_t* c) { paintIndicator(c, state); });
    sprite.draw(screen, indicatorBox.x + indicatorBox.w / 2, indicatorBox.y + indicatorBox.h / 2);
}

void PositionMarker::drawFollowOff(SDL_Surface* screen)
{
    if (!intersects(screen->clip_rect, followOffBox))
        return;
    if (followOff.empty())
        followOff.paint(followOffBox.w + 1, paintFollowOff);
    followOff.draw(screen, followOffBox.x + followOffBox.w / 2, followOffBox.y + followOffBox.h / 2);
}
