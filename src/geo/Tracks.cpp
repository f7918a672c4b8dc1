#include "Tracks.h"

#include "Effects.h"
#include "Mercator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <dirent.h>

namespace {

const SDL_Color palette[] = {{220, 20, 60, 0}, {30, 90, 255, 0}, {255, 140, 0, 0}, {170, 0, 200, 0},
                             {0, 160, 80, 0},  {0, 180, 200, 0}, {140, 90, 20, 0}, {255, 0, 160, 0}};

bool endsWithGpx(const std::string& name)
{
    if (name.size() < 5)
        return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".gpx";
}

// Plots into a 16-bit surface within its clip rectangle.
struct Plotter {
    SDL_Surface* s;
    Uint16 colour;
    SDL_Rect clip;
    int width = 2;

    void dot(int x, int y, int size)
    {
        // Wider brushes are centred on the point; 2 keeps its old place.
        x -= (size - 2) / 2;
        y -= (size - 2) / 2;
        for (int dy = 0; dy < size; ++dy)
            for (int dx = 0; dx < size; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px >= clip.x && py >= clip.y && px < clip.x + clip.w && py < clip.y + clip.h)
                    reinterpret_cast<Uint16*>(static_cast<Uint8*>(s->pixels) + py * s->pitch)[px] = colour;
            }
    }

    // A 2 x 2 brush along Bresenham's line: unbroken at every angle.
    void line(int x0, int y0, int x1, int y1)
    {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            dot(x0, y0, width);
            if (x0 == x1 && y0 == y1)
                return;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
};

// Cuts the segment to the box [lo, hi] on both axes (Liang-Barsky); false
// when nothing of it is inside.
bool clipSegment(double* x0, double* y0, double* x1, double* y1, double lo, double hiX, double hiY)
{
    double t0 = 0, t1 = 1;
    const double dx = *x1 - *x0, dy = *y1 - *y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {*x0 - lo, hiX - *x0, *y0 - lo, hiY - *y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ax = *x0 + t0 * dx, ay = *y0 + t0 * dy;
    *x1 = *x0 + t1 * dx;
    *y1 = *y0 + t1 * dy;
    *x0 = ax;
    *y0 = ay;
    return true;
}

} // namespace

void Tracks::add(File file)
{
    file.colour = palette[files.size() % (sizeof palette / sizeof palette[0])];
    files.push_back(std::move(file));
}

std::vector<std::string> Tracks::listFiles(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d)
        return names;
    while (dirent* e = readdir(d))
        if (endsWithGpx(e->d_name))
            names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    for (std::string& name : names)
        name = dir + "/" + name;
    return names;
}

bool Tracks::readFile(const std::string& path, File* file, std::string* problem, const std::atomic<bool>* stop)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    file->path = path;
    std::string why;
    const bool whole = Gpx::read(path, &file->data, &why, stop);
    if (!whole)
        *problem = name + ": " + why;
    file->name = file->data.name.empty() ? name.substr(0, name.size() - 4) : file->data.name;
    return whole;
}

void Tracks::load(const std::string& dir, std::vector<std::string>* problems)
{
    for (const std::string& path : listFiles(dir)) {
        File file;
        std::string problem;
        if (!readFile(path, &file, &problem))
            problems->push_back(problem);
        if (file.data.points() > 0)
            add(std::move(file));
    }
}

void Tracks::extend(std::size_t index, const LonLat& point, bool newLine)
{
    std::vector<std::vector<LonLat>>& lines = files[index].data.lines;
    // A step of more than half the world crosses the date line: cut there.
    newLine = newLine || lines.empty() || lines.back().empty() || std::fabs(point.lon - lines.back().back().lon) > 180;
    if (newLine)
        lines.emplace_back();
    lines.back().push_back(point);
    for (auto& entry : projected)
        if (entry.first.first == index)
            extendProjected(&entry.second, entry.first.second, point, newLine);
}

void Tracks::extendProjected(std::vector<Line>* lines, int z, const LonLat& point, bool newLine)
{
    double x, y;
    Mercator::toPixel(point.lon, point.lat, z, &x, &y);
    const std::int64_t ix = std::llround(x), iy = std::llround(y);
    if (!newLine && !lines->empty()) {
        const Line& last = lines->back();
        const std::size_t n = last.xy.size();
        if (last.xy[n - 2] == ix && last.xy[n - 1] == iy)
            return;
        // A full piece: the next one starts where it ends.
        if (n >= 2 * 48) {
            Line next;
            next.xy = {last.xy[n - 2], last.xy[n - 1]};
            next.left = next.right = next.xy[0];
            next.top = next.bottom = next.xy[1];
            lines->push_back(next);
        }
    }
    if (newLine || lines->empty()) {
        Line line;
        line.left = line.right = ix;
        line.top = line.bottom = iy;
        lines->push_back(line);
    }
    Line& line = lines->back();
    line.xy.push_back(ix);
    line.xy.push_back(iy);
    line.left = std::min(line.left, ix);
    line.right = std::max(line.right, ix);
    line.top = std::min(line.top, iy);
    line.bottom = std::max(line.bottom, iy);
}

const std::vector<Tracks::Line>& Tracks::linesAt(std::size_t index, int z)
{
    const auto key = std::make_pair(index, z);
    auto found = projected.find(key);
    if (found != projected.end())
        return found->second;
    std::vector<Line>& lines = projected[key];
    for (const auto& source : files[index].data.lines) {
        Line line;
        const LonLat* previous = nullptr;
        for (const LonLat& p : source) {
            // A step of more than half the world crosses the date line: the
            // line is cut there rather than drawn across every meridian.
            if (previous && std::fabs(p.lon - previous->lon) > 180 && line.xy.size() >= 2) {
                lines.push_back(line);
                line = Line();
            }
            previous = &p;
            double x, y;
            Mercator::toPixel(p.lon, p.lat, z, &x, &y);
            const std::int64_t ix = std::llround(x), iy = std::llround(y);
            const std::size_t n = line.xy.size();
            // Points within a pixel of the last one kept add nothing at this level.
            if (n >= 2 && std::llabs(ix - line.xy[n - 2]) <= 1 && std::llabs(iy - line.xy[n - 1]) <= 1 && &p != &source.back())
                continue;
            line.xy.push_back(ix);
            line.xy.push_back(iy);
        }
        if (!line.xy.empty())
            lines.push_back(line);
    }
    // Long lines are cut into pieces of a few dozen points sharing their
    // ends, so that a view tests each piece's box and skips most of them.
    const std::size_t piece = 2 * 48;
    std::vector<Line> pieces;
    for (const Line& line : lines)
        for (std::size_t start = 0; start < line.xy.size(); start += piece) {
            Line part;
            const std::size_t from = start == 0 ? 0 : start - 2;
            part.xy.assign(line.xy.begin() + static_cast<long>(from),
                           line.xy.begin() + static_cast<long>(std::min(line.xy.size(), start + piece)));
            if (part.xy.size() >= 2 && (start == 0 || part.xy.size() >= 4))
                pieces.push_back(std::move(part));
        }
    lines.swap(pieces);
    for (Line& line : lines) {
        line.left = line.right = line.xy[0];
        line.top = line.bottom = line.xy[1];
        for (std::size_t i = 0; i < line.xy.size(); i += 2) {
            line.left = std::min(line.left, line.xy[i]);
            line.right = std::max(line.right, line.xy[i]);
            line.top = std::min(line.top, line.xy[i + 1]);
            line.bottom = std::max(line.bottom, line.xy[i + 1]);
        }
    }
    return lines;
}

void Tracks::draw(SDL_Surface* screen, int z, double originX, double originY, TTF_Font* font, bool blended)
{
    if (!screen || screen->format->BytesPerPixel != 2)
        return;
    const double w = screen->w, h = screen->h;
    // Pieces outside the clip rectangle are skipped whole: a frame that
    // redraws a marker's surroundings looks at the few pieces there.
    const SDL_Rect& clip = screen->clip_rect;
    // Wide enough for the widest line drawn (6 pixels).
    const double pad = 4;
    const double left = originX + clip.x - pad, right = originX + clip.x + clip.w + pad;
    const double top = originY + clip.y - pad, bottom = originY + clip.y + clip.h + pad;
    SDL_LockSurface(screen);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const File& file = files[i];
        if (!file.shown)
            continue;
        Plotter plot{screen, static_cast<Uint16>(SDL_MapRGB(screen->format, file.colour.r, file.colour.g, file.colour.b)),
                     screen->clip_rect, file.width};
        for (const Line& line : linesAt(i, z)) {
            if (line.right < left || line.left > right || line.bottom < top || line.top > bottom)
                continue;
            if (line.xy.size() == 2)
                plot.dot(static_cast<int>(line.xy[0] - originX), static_cast<int>(line.xy[1] - originY), file.width);
            for (std::size_t k = 2; k < line.xy.size(); k += 2) {
                double x0 = line.xy[k - 2] - originX, y0 = line.xy[k - 1] - originY;
                double x1 = line.xy[k] - originX, y1 = line.xy[k + 1] - originY;
                if (clipSegment(&x0, &y0, &x1, &y1, -pad, w + pad, h + pad))
                    plot.line(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)),
                              static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)));
            }
        }
    }
    SDL_UnlockSurface(screen);
    // Waypoints: a dot with a light rim, the name beside it.
    for (const File& file : files) {
        if (!file.shown)
            continue;
        for (const Waypoint& p : file.data.waypoints) {
            double x, y;
            Mercator::toPixel(p.at.lon, p.at.lat, z, &x, &y);
            const int sx = static_cast<int>(std::lround(x - originX)), sy = static_cast<int>(std::lround(y - originY));
            if (sx < -50 || sy < -10 || sx > w + 2 || sy > h + 2)
                continue;
            SDL_Rect rim{static_cast<Sint16>(sx - 3), static_cast<Sint16>(sy - 3), 7, 7};
            SDL_FillRect(screen, &rim, SDL_MapRGB(screen->format, 255, 255, 255));
            SDL_Rect dot{static_cast<Sint16>(sx - 2), static_cast<Sint16>(sy - 2), 5, 5};
            SDL_FillRect(screen, &dot, SDL_MapRGB(screen->format, file.colour.r, file.colour.g, file.colour.b));
            if (!font || p.name.empty())
                continue;
            SDL_Rect source;
            SDL_Rect box{static_cast<Sint16>(sx + 6), static_cast<Sint16>(sy - 7), 120, 14};
            Effects::alignText(Effects::alignLeft | Effects::alignTop, font, p.name, &source, &box);
            Effects::blitOutlinedText(screen, font, p.name, SDL_Color{0, 0, 0, 0}, SDL_Color{255, 255, 255, 0}, blended,
                                      source, box);
        }
    }
}
