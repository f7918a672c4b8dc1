// Fuzz target for the vector tile reader, and the drawing of whatever it
// accepts (at a small size, with a style that draws every kind).
#include "MvtReader.h"
#include "VectorRenderer.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

const char* const style = R"({"layers": [
  {"id": "a", "type": "fill", "filter": ["==", "$type", "Polygon"], "paint": {"fill-color": "#88aacc",
   "fill-outline-color": "#000"}},
  {"id": "l", "type": "line", "paint": {"line-color": "#c00", "line-width": 3, "line-dasharray": [2, 1]}},
  {"id": "t", "type": "symbol", "layout": {"text-field": ["coalesce", ["get", "name"], "{class}"], "text-size": 9},
   "paint": {"text-color": "#000", "text-halo-color": "#fff", "text-halo-width": 1}}]})";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static VectorStyle parsed = [] {
        VectorStyle s;
        std::string error;
        VectorStyle::parse(style, &s, &error);
        return s;
    }();
    VectorTile tile;
    std::string error;
    if (!MvtReader::read(std::string(reinterpret_cast<const char*>(data), size), &tile, &error)) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    if (tile.vertices() > MvtReader::maxVertices)
        __builtin_trap();
    TileView view;
    view.size = 32;
    view.zoom = 14;
    view.overZoom = size % 3;
    view.subX = view.subY = size % 2;
    Bitmap picture;
    VectorRenderer::draw(tile, parsed, view, &picture);
    if (picture.size != 32 || picture.rgb.size() != 32u * 32u)
        __builtin_trap();
    return 0;
}
