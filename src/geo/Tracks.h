#ifndef TESSEL_TRACKS_H
#define TESSEL_TRACKS_H

#include "Gpx.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The GPX files of tracks/, drawn over Web Mercator maps: lines two pixels
// wide, one colour per file, waypoints as dots with their names. Points are
// projected once per level and thinned to what the level can show; only
// pieces of lines whose box meets the clip rectangle are looked at.
class Tracks {
public:
    struct File {
        std::string path;
        std::string name; // from the GPX metadata, else the file name
        GpxData data;
        SDL_Color colour{0, 0, 0, 0};
        bool shown = true;
        int width = 2; // of the line, in pixels, centred on it
    };

    // The .gpx files of `dir`, in name order.
    static std::vector<std::string> listFiles(const std::string& dir);
    // Reads one file; false with "<file name>: <problem>" in *problem when
    // it could not be read whole (its good part is kept). *stop, when
    // given, ends the reading early.
    static bool readFile(const std::string& path, File* file, std::string* problem,
                         const std::atomic<bool>* stop = nullptr);
    // Reads every .gpx file of `dir` (in name order), adding those with
    // points; each problem is added to *problems.
    void load(const std::string& dir, std::vector<std::string>* problems);
    void add(File file);
    // Adds a point to file `index`, at the end of its last line or as the
    // start of a new one; what was projected for the file is extended, not
    // made again (a recording grows by a point a second).
    void extend(std::size_t index, const LonLat& point, bool newLine);
    // Draws the shown files on a view whose top-left screen pixel is world
    // pixel (originX, originY) at Web Mercator level z. Respects the
    // screen's clip rectangle.
    void draw(SDL_Surface* screen, int z, double originX, double originY, TTF_Font* font, bool blended);

    std::vector<File> files;

private:
    struct Line {
        std::vector<std::int64_t> xy; // world pixels, x and y interleaved
        std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    };
    // The lines of file `index` at level z, projected and thinned once.
    const std::vector<Line>& linesAt(std::size_t index, int z);
    static void extendProjected(std::vector<Line>* lines, int z, const LonLat& point, bool newLine);

    std::map<std::pair<std::size_t, int>, std::vector<Line>> projected;
};

#endif
