#include "FiguresPage.h"

#include "ElevationSource.h"
#include "Gpx.h"
#include "Signature.h"

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <memory>

const int FiguresPage::columns = 280;

namespace {

bool isArchive(const std::string& name)
{
    for (const char* ending : {".mbtiles", ".pmtiles"})
        if (name.size() > std::string(ending).size() &&
            name.compare(name.size() - std::string(ending).size(), std::string::npos, ending) == 0)
            return true;
    return false;
}

// The first archive of maps/ that declares elevations, in name order.
std::unique_ptr<ElevationSource> elevationArchive()
{
    std::vector<std::string> names;
    if (DIR* dir = opendir("maps")) {
        while (const dirent* entry = readdir(dir))
            if (isArchive(entry->d_name) && names.size() < 256)
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string why;
    for (const std::string& name : names)
        if (auto source = ElevationSource::open("maps/" + name, ElevationEncoding::none, &why))
            return source;
    return nullptr;
}

} // namespace

bool FiguresPage::open(const std::string& file, std::size_t index, std::size_t pointsNow, long long nowMs,
                       std::string* problem)
{
    path = file;
    fileIndex = index;
    pointsRead = pointsNow;
    readAt = nowMs;
    column = 0;
    shown = read(problem);
    return shown;
}

bool FiguresPage::read(std::string* problem)
{
    GpxData gpx;
    Gpx::read(path, &gpx, problem, nullptr, Gpx::Keep::figures);
    if (gpx.lines.empty()) {
        if (problem->empty())
            *problem = "no track";
        return false;
    }
    name = gpx.name.empty() && !gpx.tracks.empty() ? gpx.tracks[0].name : gpx.name;
    std::unique_ptr<ElevationSource> dem;
    bool lacking = false;
    for (const auto& heights : gpx.elevations)
        lacking = lacking || std::any_of(heights.begin(), heights.end(), [](float h) { return h != h; });
    if (lacking)
        dem = elevationArchive();
    TrackFigures figures;
    places.clear();
    filled = 0;
    for (std::size_t line = 0; line < gpx.lines.size(); ++line) {
        std::vector<TrackPoint> points = gpx.pointsOf(line);
        if (dem)
            filled += dem->fill(&points);
        figures.addLine(points);
        places.insert(places.end(), gpx.lines[line].begin(), gpx.lines[line].end());
    }
    summary = figures.summary();
    along = figures.along();
    heights = figures.elevations();
    profile = ElevationProfile::build(along, figures.elevations(), columns);
    ++version;
    return true;
}

void FiguresPage::regrow(std::size_t pointsNow, long long nowMs)
{
    if (!shown || pointsNow == pointsRead || nowMs - readAt < regrowMs)
        return;
    pointsRead = pointsNow;
    readAt = nowMs;
    std::string problem;
    const int was = column;
    if (read(&problem))
        column = was;
}

void FiguresPage::move(int by)
{
    moveTo(column + by);
}

void FiguresPage::moveTo(int to)
{
    column = std::clamp(to, 0, columns - 1);
}

bool FiguresPage::markerAt(LonLat* at) const
{
    if (!shown || profile.columns.empty())
        return false;
    const std::size_t point = profile.columns[static_cast<std::size_t>(column)].point;
    if (point >= places.size())
        return false;
    *at = places[point];
    return true;
}

float FiguresPage::elevationAtCursor() const
{
    if (profile.columns.empty())
        return NAN;
    const std::size_t point = profile.columns[static_cast<std::size_t>(column)].point;
    return point < heights.size() ? heights[point] : NAN;
}

double FiguresPage::distanceAtCursor() const
{
    if (profile.columns.empty())
        return 0;
    const std::size_t point = profile.columns[static_cast<std::size_t>(column)].point;
    return point < along.size() ? along[point] : 0;
}

void FiguresPage::sign(Signature* look) const
{
    look->add(static_cast<std::uint64_t>(shown));
    look->add(static_cast<std::uint64_t>(column));
    look->add(static_cast<std::uint64_t>(version));
    look->add(static_cast<std::uint64_t>(fileIndex));
}
