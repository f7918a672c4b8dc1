#include "HgtTile.h"

#include "SafeFile.h"

#include <cstdio>
#include <unistd.h>

namespace {

bool fail(std::string* why, const std::string& text)
{
    if (why)
        *why = text;
    return false;
}

const std::size_t oneSecond = 3601, threeSeconds = 1201;

std::size_t fileBytes(std::size_t samples)
{
    return samples * samples * 2;
}

} // namespace

bool HgtTile::cornerFromName(const std::string& path, int* south, int* west)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    char ns, ew;
    unsigned lat, lon;
    int used = 0;
    if (std::sscanf(name.c_str(), "%c%2u%c%3u%n", &ns, &lat, &ew, &lon, &used) != 4 || used != 7)
        return false;
    ns = static_cast<char>(ns | 0x20);
    ew = static_cast<char>(ew | 0x20);
    if ((ns != 'n' && ns != 's') || (ew != 'e' && ew != 'w') || lat > 89 || lon > 179 + (ew == 'w'))
        return false;
    *south = ns == 'n' ? static_cast<int>(lat) : -static_cast<int>(lat);
    *west = ew == 'e' ? static_cast<int>(lon) : -static_cast<int>(lon);
    return *west < 180;
}

bool HgtTile::fromBytes(const std::string& bytes, HgtTile* out, std::string* why)
{
    std::size_t samples = 0;
    for (std::size_t n : {oneSecond, threeSeconds})
        if (bytes.size() == fileBytes(n))
            samples = n;
    if (!samples)
        return fail(why, "is " + std::to_string(bytes.size()) + " bytes, neither a 1″ SRTM tile (" +
                             std::to_string(fileBytes(oneSecond)) + ") nor a 3″ one (" +
                             std::to_string(fileBytes(threeSeconds)) + "): truncated or not an .hgt file");
    out->samples = static_cast<int>(samples);
    out->heights.resize(samples * samples);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < out->heights.size(); ++i)
        out->heights[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(b[2 * i] << 8 | b[2 * i + 1]));
    return true;
}

bool HgtTile::read(const std::string& path, HgtTile* out, std::string* why)
{
    if (!cornerFromName(path, &out->south, &out->west))
        return fail(why, "its name does not give the tile's corner (like N57E011.hgt)");
    std::string bytes;
    if (!SafeFile::readRegular(path, fileBytes(oneSecond) + 1, &bytes))
        return fail(why, "cannot be read as a regular file of at most " + std::to_string(fileBytes(oneSecond)) +
                             " bytes");
    return fromBytes(bytes, out, why);
}

std::size_t HgtTile::voids() const
{
    std::size_t n = 0;
    for (std::int16_t h : heights)
        n += h == voidValue;
    return n;
}

std::size_t HgtTile::fillVoids(int reach)
{
    std::vector<std::size_t> holes;
    for (std::size_t i = 0; i < heights.size(); ++i)
        if (heights[i] == voidValue)
            holes.push_back(i);
    std::size_t filled = 0;
    std::vector<std::pair<std::size_t, std::int16_t>> found;
    for (int pass = 0; pass < reach && !holes.empty(); ++pass) {
        found.clear();
        std::vector<std::size_t> left;
        for (std::size_t i : holes) {
            const int x = static_cast<int>(i % samples), y = static_cast<int>(i / samples);
            long sum = 0, count = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= samples || ny >= samples)
                        continue;
                    const std::int16_t h = at(nx, ny);
                    if (h != voidValue) {
                        sum += h;
                        ++count;
                    }
                }
            if (count)
                found.emplace_back(i, static_cast<std::int16_t>(sum / count));
            else
                left.push_back(i);
        }
        // Written after the pass, so a hole fills evenly from every side.
        for (const auto& f : found)
            heights[f.first] = f.second;
        filled += found.size();
        holes.swap(left);
    }
    return filled;
}
