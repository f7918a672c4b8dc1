#ifndef TESSEL_FIGURESPAGE_H
#define TESSEL_FIGURESPAGE_H

#include "ElevationProfile.h"
#include "LonLat.h"
#include "TrackFigures.h"

#include <SDL.h>
#include <string>
#include <vector>

class Signature;

// The figures of one GPX file of the Tracks page and its elevation
// profile: what the panel over the map shows, and a cursor along the
// profile whose point the map marks. The file is read again with its
// elevations and times (the drawing keeps neither); points without an
// elevation take one from an elevation archive of maps/ where one covers
// them. A recording is read again as it grows, at most every regrowMs.
class FiguresPage {
public:
    static constexpr long long regrowMs = 5000;

    // Reads `path`, file `file` of the map's tracks with `pointsNow` points;
    // false with *problem when it holds no point. A file read in part opens
    // with *problem set too.
    bool open(const std::string& path, std::size_t file, std::size_t pointsNow, long long nowMs, std::string* problem);
    void close() { shown = false; }
    bool isOpen() const { return shown; }
    std::size_t file() const { return fileIndex; }
    // Reads the file again when the map's copy has grown (a recording)
    // and regrowMs have passed since it was last read.
    void regrow(std::size_t pointsNow, long long nowMs);

    // The cursor by `columns` (negative: towards the start), or to a column.
    void move(int columns);
    void moveTo(int column);
    int cursor() const { return column; }
    // The place and the elevation and distance at the cursor.
    bool markerAt(LonLat* at) const;
    float elevationAtCursor() const;
    double distanceAtCursor() const;

    void sign(Signature* look) const;

    TrackSummary summary;
    ElevationProfile profile;
    std::string name;
    std::size_t filled = 0; // elevations taken from an archive

    // The profile's width in pixels.
    static const int columns;

private:
    bool read(std::string* problem);

    bool shown = false;
    std::string path;
    std::size_t fileIndex = 0;
    std::size_t pointsRead = 0; // the map's point count when last read
    long long readAt = 0;
    int column = 0;
    std::vector<LonLat> places;  // every point, in order
    std::vector<double> along;   // metres along the track, per point
    std::vector<float> heights;  // metres, per point (NaN: none)
    int version = 0;             // counts readings, for the screen
};

#endif
