#include "TerrainPainter.h"

#include "ContourPainter.h"
#include "Contours.h"
#include "HillShade.h"

#include <algorithm>
#include <cairo.h>

ElevationSource* TerrainPainter::source(const TileRef& ref)
{
    const std::string name = ref.path + "|" + std::to_string(ref.elevation);
    for (std::size_t i = 0; i < sources.size(); ++i)
        if (sources[i].first == name) {
            std::rotate(sources.begin(), sources.begin() + static_cast<long>(i),
                        sources.begin() + static_cast<long>(i) + 1);
            return sources[0].second.get();
        }
    std::string why;
    auto opened = ElevationSource::open(ref.path, static_cast<ElevationEncoding>(ref.elevation), &why);
    // A refused archive is remembered too, so it is not opened for every cell.
    sources.insert(sources.begin(), {name, std::move(opened)});
    if (sources.size() > sourcesKept)
        sources.pop_back();
    return sources[0].second.get();
}

bool TerrainPainter::paint(const TileRef& ref, int opacity, Bitmap* cell)
{
    ElevationSource* dem = source(ref);
    ElevationBlock block;
    if (!dem || ref.overZoom > 30 || !dem->block(ref.zoom, ref.x, ref.y, &block))
        return false;
    const int size = cell->size;
    ElevationGrid grid;
    ElevationGrid::build(block, size, ref.overZoom, ref.subX, ref.subY, &grid);
    const int z = ref.zoom + ref.overZoom;
    Bitmap shade;
    HillShade::draw(grid, HillShade::scaleOf(z, (ref.y << ref.overZoom) + ref.subY, size), &shade);
    const unsigned alpha = static_cast<unsigned>(std::clamp(opacity, 0, 100)) * 255 / 100;
    Pixels::blendOver(cell, shade, alpha);
    drawContours(grid, z, opacity, cell);
    return true;
}

// Drawn straight onto the cell's 16-bit pixels, as vector tiles are.
void TerrainPainter::drawContours(const ElevationGrid& grid, int z, int opacity, Bitmap* cell)
{
    const std::vector<ContourLine> lines = Contours::trace(grid, Contours::intervalAt(z));
    const int size = cell->size;
    if (lines.empty() || cairo_format_stride_for_width(CAIRO_FORMAT_RGB16_565, size) != size * 2)
        return;
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(cell->rgb.data()),
                                            CAIRO_FORMAT_RGB16_565, size, size, size * 2);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_push_group(cr);
    ContourPainter::draw(cr, lines, size, ContourPainter::Style());
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, std::clamp(opacity, 0, 100) / 100.0);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}
