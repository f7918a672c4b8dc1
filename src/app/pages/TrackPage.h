#ifndef TESSEL_TRACKPAGE_H
#define TESSEL_TRACKPAGE_H

#include <cstddef>
#include <functional>
#include <string>

class Lang;
class Menu;
class Tracks;

// The "Tracks" page behind the map options: a line per GPX file that shows
// or hides it (with its yes/no), a line under it that brings the whole
// file into view (centred, at the deepest level that shows all of it), and
// one that opens its figures and elevation profile. Which files are hidden is kept in tessel.conf as
// their file names, separated by "|".
class TrackPage {
public:
    enum class Choice { none, toggled, centre, figures };
    static constexpr int linesPerFile = 3;

    // Adds the "Tracks" line to the map options page and the page behind it.
    void build(Menu* menu, Lang* lang, int mapOptions, const Tracks& tracks);
    // The lines of file `index`, read after the page was built, go after
    // those of the files before it (above any other line of the page).
    void addFile(Menu* menu, Lang* lang, const Tracks& tracks, std::size_t index) const;
    // What choosing line `id` of the page does; *file is the file concerned.
    Choice choose(int id, Tracks* tracks, int* file) const;
    // The yes/no values of the page after a change.
    void refresh(Menu* menu, Lang* lang, const Tracks& tracks) const;

    static std::string hiddenList(const Tracks& tracks);
    static void applyHidden(const std::string& list, Tracks* tracks);

private:
    void addLines(Menu* menu, Lang* lang, const Tracks& tracks, std::size_t index) const;

public:
    int page = -1;
    int line = -1; // on the map options page
    int mapOptions = -1;
    // Opens the figures of file `index` (set by the program).
    std::function<void(int index)> openFigures;
};

#endif
