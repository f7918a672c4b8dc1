#include "TrackPage.h"

#include "Lang.h"
#include "Menu.h"
#include "MenuLine.h"
#include "Tracks.h"

#include <algorithm>

namespace {

std::string fileName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void TrackPage::build(Menu* menu, Lang* lang, int options, const Tracks& tracks)
{
    mapOptions = options;
    line = menu->model.addItem(mapOptions, MenuLine::tracks, lang->value("tracks"), tracks.files.empty());
    page = menu->model.createOptionsMenu(lang->value("tracks"), 170, 40, mapOptions, 0);
    for (std::size_t i = 0; i < tracks.files.size(); ++i)
        addLines(menu, lang, tracks, i);
    refresh(menu, lang, tracks);
}

void TrackPage::addFile(Menu* menu, Lang* lang, const Tracks& tracks, std::size_t index) const
{
    addLines(menu, lang, tracks, index);
    const int first = static_cast<int>(linesPerFile * index);
    MenuPage& lines = menu->model.pages[static_cast<std::size_t>(page)];
    const auto at = lines.items.begin() + first;
    std::rotate(at, lines.items.end() - linesPerFile, lines.items.end());
    if (lines.selected >= first && lines.selected < lines.size() - linesPerFile)
        lines.selected += linesPerFile;
    menu->model.activateItem(mapOptions, line);
}

void TrackPage::addLines(Menu* menu, Lang* lang, const Tracks& tracks, std::size_t index) const
{
    const int id = static_cast<int>(2 * index);
    menu->model.addItem(page, id, tracks.files[index].name, false);
    menu->model.addItem(page, id + 1, lang->value("track_whole"), false);
    menu->model.addItem(page, MenuLine::trackFigures + static_cast<int>(index), lang->value("track_figures"), false);
}

TrackPage::Choice TrackPage::choose(int id, Tracks* tracks, int* file) const
{
    if (id >= MenuLine::trackFigures && static_cast<std::size_t>(id - MenuLine::trackFigures) < tracks->files.size()) {
        *file = id - MenuLine::trackFigures;
        return Choice::figures;
    }
    if (id < 0 || static_cast<std::size_t>(id / 2) >= tracks->files.size())
        return Choice::none;
    *file = id / 2;
    if (id % 2 == 1)
        return Choice::centre;
    Tracks::File& f = tracks->files[static_cast<std::size_t>(*file)];
    f.shown = !f.shown;
    return Choice::toggled;
}

void TrackPage::refresh(Menu* menu, Lang* lang, const Tracks& tracks) const
{
    int shown = 0;
    for (std::size_t i = 0; i < tracks.files.size(); ++i) {
        menu->model.changeValue(page, static_cast<int>(2 * i), lang->value(tracks.files[i].shown ? "yes" : "no"));
        shown += tracks.files[i].shown ? 1 : 0;
    }
    // Choosing on the page would copy the line into the parent's value: the
    // parent shows how many files are shown instead.
    menu->model.changeValue(mapOptions, line, std::to_string(shown) + "/" + std::to_string(tracks.files.size()));
}

std::string TrackPage::hiddenList(const Tracks& tracks)
{
    std::string list;
    for (const Tracks::File& f : tracks.files)
        if (!f.shown)
            list += (list.empty() ? "" : "|") + fileName(f.path);
    return list;
}

void TrackPage::applyHidden(const std::string& list, Tracks* tracks)
{
    for (Tracks::File& f : tracks->files)
        f.shown = ("|" + list + "|").find("|" + fileName(f.path) + "|") == std::string::npos;
}
