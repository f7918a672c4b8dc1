#include "MvtTiles.h"

#include <protozero/pbf_writer.hpp>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace Mvt {

namespace {

std::uint32_t command(int id, std::size_t count)
{
    return static_cast<std::uint32_t>(id) | static_cast<std::uint32_t>(count << 3);
}

std::uint32_t zigzag(int v)
{
    return (static_cast<std::uint32_t>(v) << 1) ^ static_cast<std::uint32_t>(v >> 31);
}

// A run of points after a cursor, as deltas.
void deltas(const std::vector<MvtPoint>& pts, std::size_t from, std::size_t to, MvtPoint* cursor,
            std::vector<std::uint32_t>* out)
{
    for (std::size_t i = from; i < to; ++i) {
        out->push_back(zigzag(pts[i].x - cursor->x));
        out->push_back(zigzag(pts[i].y - cursor->y));
        *cursor = pts[i];
    }
}

std::vector<std::uint32_t> parts(const std::vector<std::vector<MvtPoint>>& parts, bool close)
{
    std::vector<std::uint32_t> out;
    MvtPoint cursor{0, 0};
    for (const auto& part : parts) {
        out.push_back(command(1, 1));
        deltas(part, 0, 1, &cursor, &out);
        out.push_back(command(2, part.size() - 1));
        deltas(part, 1, part.size(), &cursor, &out);
        if (close)
            out.push_back(command(7, 1));
    }
    return out;
}

} // namespace

std::vector<std::uint32_t> points(const std::vector<MvtPoint>& pts)
{
    std::vector<std::uint32_t> out{command(1, pts.size())};
    MvtPoint cursor{0, 0};
    deltas(pts, 0, pts.size(), &cursor, &out);
    return out;
}

std::vector<std::uint32_t> lines(const std::vector<std::vector<MvtPoint>>& l)
{
    return parts(l, false);
}

std::vector<std::uint32_t> rings(const std::vector<std::vector<MvtPoint>>& r)
{
    return parts(r, true);
}

std::vector<MvtPoint> square(int x0, int y0, int x1, int y1, bool clockwise)
{
    if (clockwise)
        return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

MvtFeature polygon(const std::vector<std::vector<MvtPoint>>& r, const std::string& key, const std::string& value)
{
    MvtFeature f;
    f.type = 3;
    f.geometry = rings(r);
    if (!key.empty())
        f.text.push_back({key, value});
    return f;
}

std::string encode(const std::vector<MvtLayer>& layers)
{
    std::string data;
    protozero::pbf_writer tile(data);
    for (const MvtLayer& layer : layers) {
        protozero::pbf_writer l(tile, 3);
        l.add_uint32(15, 2);
        l.add_string(1, layer.name);
        std::vector<std::string> keys;
        std::vector<std::pair<bool, std::string>> values; // (number, text or number's bytes)
        auto index = [](auto* list, const auto& item) {
            for (std::size_t i = 0; i < list->size(); ++i)
                if ((*list)[i] == item)
                    return static_cast<std::uint32_t>(i);
            list->push_back(item);
            return static_cast<std::uint32_t>(list->size() - 1);
        };
        for (const MvtFeature& f : layer.features) {
            protozero::pbf_writer w(l, 2);
            std::vector<std::uint32_t> tags;
            for (const auto& p : f.text) {
                tags.push_back(index(&keys, p.first));
                tags.push_back(index(&values, std::make_pair(false, p.second)));
            }
            for (const auto& p : f.numbers) {
                tags.push_back(index(&keys, p.first));
                tags.push_back(index(&values, std::make_pair(true, std::to_string(p.second))));
            }
            w.add_packed_uint32(2, tags.begin(), tags.end());
            w.add_enum(3, f.type);
            w.add_packed_uint32(4, f.geometry.begin(), f.geometry.end());
        }
        for (const std::string& k : keys)
            l.add_string(3, k);
        for (const auto& v : values) {
            protozero::pbf_writer value(l, 4);
            if (v.first)
                value.add_double(3, std::stod(v.second));
            else
                value.add_string(1, v.second);
        }
        l.add_uint32(5, layer.extent);
    }
    return data;
}

std::string monacoMBTiles(const std::string& osmPbf, const std::string& dir, std::string* why)
{
    struct stat info;
    const std::string out = dir + "/monaco-omt.mbtiles";
    if (stat(out.c_str(), &info) == 0)
        return out;
    const std::string examples = "/usr/share/doc/tilemaker/examples/";
    if (stat(osmPbf.c_str(), &info) != 0 || stat((examples + "config-openmaptiles.json").c_str(), &info) != 0 ||
        std::system("command -v tilemaker > /dev/null") != 0) {
        *why = "needs ../shared/fixtures/monaco.osm.pbf and Debian's tilemaker with its examples";
        return std::string();
    }
    // Made under another name and renamed: tests running at once each
    // find a whole file or none.
    const std::string partial = out + "." + std::to_string(getpid()) + ".mbtiles";
    const std::string command = "tilemaker --input '" + osmPbf + "' --output '" + partial + "' --config " + examples +
                                "config-openmaptiles.json --process " + examples +
                                "process-openmaptiles.lua > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || std::rename(partial.c_str(), out.c_str()) != 0) {
        *why = "tilemaker failed";
        return std::string();
    }
    return out;
}

} // namespace Mvt
