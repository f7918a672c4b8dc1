#ifndef TESSEL_TRACKPAGE_H
#define TESSEL_TRACKPAGE_H

#include <cstddef>
#include <string>

class Lang;
class Menu;
class Tracks;

// The "Tracks" page behind the map options: a line per GPX file that shows
// or hides it (with its yes/no), and a line under it that brings the whole
// file into view (centred, at the deepest level that shows all of it). Which files are hidden is kept in tessel.conf as
// their file names, separated by "|".
class TrackPage {
public:
    enum class Choice { none, toggled, centre };

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

    int page = -1;
    int line = -1; // on the map options page
    int mapOptions = -1;
};

#endif
