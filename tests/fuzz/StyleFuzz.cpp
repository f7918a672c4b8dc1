// Fuzz target for the style reader, and a small tile drawn with whatever
// it accepts (filters, zoom stops, labels run over real features).
#include "MvtReader.h"
#include "VectorRenderer.h"

#include <protozero/pbf_writer.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A tile of one layer "x": a square with a hole, a line, a named point.
std::string sampleTile()
{
    std::string data;
    protozero::pbf_writer tile(data);
    protozero::pbf_writer layer(tile, 3);
    layer.add_uint32(15, 2);
    layer.add_string(1, "x");
    const std::vector<std::vector<std::uint32_t>> geometries{
        {9, 2, 2, 26, 4000, 0, 0, 4000, 3999, 0, 15, 9, 2000, 1999, 26, 0, 2000, 2000, 0, 15},
        {9, 0, 4096, 10, 8192, 0},
        {9, 4096, 4096}};
    const std::uint32_t types[] = {3, 2, 1};
    for (std::size_t i = 0; i < geometries.size(); ++i) {
        protozero::pbf_writer f(layer, 2);
        const std::vector<std::uint32_t> tags{0, static_cast<std::uint32_t>(i), 1, 0};
        f.add_packed_uint32(2, tags.begin(), tags.end());
        f.add_enum(3, static_cast<std::int32_t>(types[i]));
        f.add_packed_uint32(4, geometries[i].begin(), geometries[i].end());
    }
    layer.add_string(3, "class");
    layer.add_string(3, "name");
    for (const char* v : {"park", "major", "Town"})
        protozero::pbf_writer(layer, 4).add_string(1, v);
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static VectorTile tile = [] {
        VectorTile t;
        std::string error;
        MvtReader::read(sampleTile(), &t, &error);
        return t;
    }();
    VectorStyle style;
    std::string error;
    if (!VectorStyle::parse(std::string(reinterpret_cast<const char*>(data), size), &style, &error)) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    TileView view;
    view.size = 32;
    view.zoom = static_cast<int>(size % 20);
    Bitmap picture;
    VectorRenderer::draw(tile, style, view, &picture);
    if (picture.size != 32)
        __builtin_trap();
    return 0;
}
