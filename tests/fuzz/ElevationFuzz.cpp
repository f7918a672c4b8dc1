// Fuzz target for elevation tiles: decoded in both encodings, then shaded,
// traced and drawn with cairo as a cell of the viewer would be (upsampled
// too), checking that nothing from the bytes reaches the pixels or lines
// as NaN. Its seeds also run under valgrind, which sees inside cairo.
#include "ContourPainter.h"
#include "Contours.h"
#include "ElevationGrid.h"
#include "HillShade.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (ElevationEncoding e : {ElevationEncoding::terrarium, ElevationEncoding::mapbox}) {
        auto tile = std::make_shared<ElevationTile>();
        std::string why;
        if (!ElevationTile::decode(bytes, e, tile.get(), &why)) {
            if (why.empty())
                __builtin_trap();
            continue;
        }
        ElevationBlock block;
        block.tiles[1][1] = block.tiles[0][1] = tile;
        for (int deeper : {0, 2}) {
            ElevationGrid grid;
            ElevationGrid::build(block, 64, deeper, deeper ? 3 : 0, deeper ? 1 : 0, &grid);
            Bitmap shade;
            HillShade::draw(grid, HillShade::scaleOf(14, 5000, 64), &shade);
            if (shade.size != 64 || shade.alpha.size() != 64u * 64u)
                __builtin_trap();
            const std::vector<ContourLine> lines = Contours::trace(grid, 10);
            for (const ContourLine& line : lines)
                for (float v : line.xy)
                    if (!(v >= -1 && v <= 66))
                        __builtin_trap();
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
            cairo_t* cr = cairo_create(surface);
            ContourPainter::draw(cr, lines, 64, ContourPainter::Style());
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
    }
    return 0;
}
