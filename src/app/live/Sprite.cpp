#include "Sprite.h"

#include "Bitmap.h"

#include <algorithm>
#include <cairo.h>

void Sprite::paint(int edge, const std::function<void(cairo_t*)>& painter)
{
    size = 0;
    colours.clear();
    alphas.clear();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, edge, edge);
    cairo_t* c = cairo_create(surface);
    painter(c);
    cairo_destroy(c);
    cairo_surface_flush(surface);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        colours.resize(static_cast<std::size_t>(edge) * edge);
        alphas.resize(colours.size());
        for (int y = 0; y < edge; ++y) {
            // Native-endian words, colour premultiplied by alpha.
            const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            for (int x = 0; x < edge; ++x) {
                const std::uint32_t p = row[x];
                const unsigned a = p >> 24;
                const std::size_t i = static_cast<std::size_t>(y) * edge + x;
                alphas[i] = static_cast<std::uint8_t>((a * 32 + 127) / 255);
                if (a == 0)
                    continue;
                const auto channel = [a](std::uint32_t premultiplied) { return std::min(255u, premultiplied * 255 / a); };
                colours[i] = Pixels::pack565(channel(p >> 16 & 0xff), channel(p >> 8 & 0xff), channel(p & 0xff));
            }
        }
        size = edge;
    }
    cairo_surface_destroy(surface);
}

void Sprite::draw(SDL_Surface* screen, int cx, int cy) const
{
    if (size == 0 || screen->format->BytesPerPixel != 2 || SDL_LockSurface(screen) != 0)
        return;
    const SDL_Rect& clip = screen->clip_rect;
    const int left = cx - size / 2, top = cy - size / 2;
    const int x0 = std::max<int>(left, clip.x), x1 = std::min<int>(left + size, clip.x + clip.w);
    const int y0 = std::max<int>(top, clip.y), y1 = std::min<int>(top + size, clip.y + clip.h);
    for (int y = y0; y < y1 && x0 < x1; ++y) {
        std::uint16_t* out = reinterpret_cast<std::uint16_t*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch);
        const std::uint16_t* colour = &colours[static_cast<std::size_t>((y - top) * size + (x0 - left))];
        const std::uint8_t* alpha = &alphas[static_cast<std::size_t>((y - top) * size + (x0 - left))];
        for (int x = x0; x < x1; ++x, ++colour, ++alpha) {
            if (*alpha == 32)
                out[x] = *colour;
            else if (*alpha != 0)
                out[x] = Pixels::mix565(out[x], *colour, *alpha);
        }
    }
    SDL_UnlockSurface(screen);
}
