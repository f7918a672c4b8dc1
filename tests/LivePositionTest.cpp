#include "Mercator.h"
#include "TestSupport.h"
#include "Tracks.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {

SDL_Surface* blankScreen()
{
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    fill(screen, 0, 0, 0);
    return screen;
}

bool samePixels(SDL_Surface* a, SDL_Surface* b)
{
    for (int y = 0; y < a->h; ++y)
        if (std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch, static_cast<Uint8*>(b->pixels) + y * b->pitch,
                        static_cast<std::size_t>(a->w) * 2) != 0)
            return false;
    return true;
}

} // namespace

// A recording grows a point at a time onto what was projected already; it
// must draw as the same points read from a file do.
TEST(TracksTest, ALineExtendedPointByPointDrawsAsTheWholeLine)
{
    Tracks growing, whole;
    growing.add(Tracks::File());
    Tracks::File file;
    const int z = 14;
    double originX, originY;
    Mercator::toPixel(14.40, 50.09, z, &originX, &originY);
    originX -= 160;
    originY -= 120;
    SDL_Surface* grown = blankScreen();
    // A wiggling walk of 300 points, 3 to 6 pixels apart at z, a new segment
    // after 120; drawn now and then as it grows (every level seen is kept
    // up to date), and at a second level.
    for (int i = 0; i < 300; ++i) {
        const LonLat point{14.40 + (i % 150) * 0.0003 - 0.02, 50.09 + 0.0004 * std::sin(i * 0.3) + (i / 150) * 0.001};
        const bool newLine = i == 120;
        growing.extend(0, point, newLine);
        if (newLine || file.data.lines.empty())
            file.data.lines.emplace_back();
        file.data.lines.back().push_back(point);
        if (i % 37 == 0) {
            growing.draw(grown, z, originX, originY, nullptr, false);
            growing.draw(grown, z - 3, originX / 8, originY / 8, nullptr, false);
        }
    }
    whole.add(file);
    // Where points are pixels apart, the same pixels; where many share a
    // pixel, each way thins them a little differently.
    int lit[2][2] = {};
    for (int k = 0; k < 2; ++k) {
        const double shrink = k == 0 ? 1 : 8;
        SDL_Surface* read = blankScreen();
        fill(grown, 0, 0, 0);
        growing.draw(grown, z - 3 * k, originX / shrink, originY / shrink, nullptr, false);
        whole.draw(read, z - 3 * k, originX / shrink, originY / shrink, nullptr, false);
        lit[k][0] = pixelsDifferentFrom(grown, SDL_Rect{0, 0, 320, 240}, 0, 0, 0);
        lit[k][1] = pixelsDifferentFrom(read, SDL_Rect{0, 0, 320, 240}, 0, 0, 0);
        if (k == 0) {
            EXPECT_TRUE(samePixels(grown, read));
        }
        SDL_FreeSurface(read);
    }
    EXPECT_GT(lit[0][1], 300);
    EXPECT_NEAR(lit[1][0], lit[1][1], lit[1][1] / 3);
    EXPECT_EQ(2u, growing.files[0].data.lines.size());
    SDL_FreeSurface(grown);
}
