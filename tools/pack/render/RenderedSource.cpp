#include "RenderedSource.h"

#include "Codecs.h"
#include "StyleChooser.h"
#include "VectorRenderer.h"

#include <iostream>
#include <sys/stat.h>

std::unique_ptr<RenderedSource> RenderedSource::open(const std::string& path, const std::string& style,
                                                     const std::string& stylesDir, bool dark, std::string* error)
{
    std::string why;
    std::unique_ptr<TileArchive> archive = TileArchive::open(path, &why);
    if (!archive) {
        *error = path + ": " + why;
        return nullptr;
    }
    const ArchiveInfo& info = archive->info();
    if (info.format != "pbf" || info.levels.empty()) {
        *error = path + ": no vector tiles to draw (" + (info.format.empty() ? "no tiles" : info.format) + ")";
        return nullptr;
    }
    std::unique_ptr<RenderedSource> source(new RenderedSource());
    source->painter.reports = &source->reports;
    source->style = style.empty() ? StyleChooser::choose(path, StyleChooser::layersOf(info.metadataJson, info.sampleTile),
                                                         stylesDir)
                                  : style;
    VectorStyle parsed;
    if (!VectorStyle::load(source->style, &parsed, &why)) {
        *error = source->style + ": " + why;
        return nullptr;
    }
    source->label = path;
    source->name = info.name;
    source->attribution = info.attribution;
    source->format = "PNG";
    source->dark = dark;
    source->present = info.levels;
    const ArchiveLevel deepest = info.levels.back();
    source->deepest = deepest.z;
    for (int k = 1; k <= VectorRenderer::overzoomLevels && deepest.z + k <= TileArchive::maxZoom; ++k)
        source->present.push_back(ArchiveLevel{deepest.z + k, deepest.minX << k, deepest.minY << k,
                                               ((deepest.maxX + 1) << k) - 1, ((deepest.maxY + 1) << k) - 1, 0});
    source->archive = std::move(archive);
    return source;
}

bool RenderedSource::draw(const std::string& name, const std::string& bytes, int z, int overZoom, long long subX,
                          long long subY, std::string* png, std::string* error)
{
    const bool whole = overZoom == 0;
    if (whole && z == lastZ && bytes == lastBytes) {
        *png = lastPng;
        return true;
    }
    TileView view;
    view.zoom = z;
    view.overZoom = overZoom;
    view.subX = subX;
    view.subY = subY;
    Bitmap picture;
    const bool painted = painter.paint(name, bytes, style, dark, view, &picture, error);
    for (const std::string& said : reports.take())
        std::cerr << said << "\n";
    if (!painted)
        return false;
    *png = Codecs::encodeDrawn(picture);
    ++drawn;
    if (whole) {
        lastZ = z;
        lastBytes = bytes;
        lastPng = *png;
    }
    return true;
}

bool RenderedSource::forEachTile(int z, long long minX, long long minY, long long maxX, long long maxY,
                                 const TileArchive::CellVisitor& visit, std::string* error)
{
    const int k = z > deepest ? z - deepest : 0;
    const int dataZ = z - k;
    const long long squares = 1LL << k;
    bool stopped = false;
    const bool read = archive->forEachTileAt(
        dataZ, minX >> k, minY >> k, maxX >> k, maxY >> k,
        [&](long long x, long long y, const std::string& bytes) {
            const std::string name = std::to_string(dataZ) + "/" + std::to_string(x) + "/" + std::to_string(y);
            for (long long sy = 0; sy < squares && !stopped; ++sy)
                for (long long sx = 0; sx < squares && !stopped; ++sx) {
                    const long long cx = (x << k) + sx, cy = (y << k) + sy;
                    if (cx < minX || cx > maxX || cy < minY || cy > maxY)
                        continue;
                    std::string png, why;
                    if (!draw(name, bytes, z, k, sx, sy, &png, &why))
                        return true; // the tile is left out; the painter said why
                    stopped = !visit(cx, cy, png);
                }
            return !stopped;
        },
        error);
    return read;
}
