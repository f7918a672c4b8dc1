#include "FindSearch.h"

#include "Folding.h"
#include "Geodesy.h"

#include <algorithm>
#include <dirent.h>

namespace {

bool isIndexName(const std::string& name)
{
    const std::string end = ".search";
    return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0 && name[0] != '.';
}

bool startsWith(const std::string& word, const std::string& prefix)
{
    return word.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void FindSearch::open(const std::string& folder, bool manual, const std::function<void()>& wake,
                      std::vector<std::string>* problems)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (isIndexName(e->d_name) && !opened.count(e->d_name))
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string why;
        std::unique_ptr<SearchIndex> index = SearchIndex::open(folder + "/" + name, &why);
        if (!index) {
            problems->push_back(name + ": " + why);
            continue;
        }
        opened.insert(name);
        std::unique_ptr<Source> source(new Source);
        source->path = folder + "/" + name;
        source->worker.reset(new SearchWorker(std::move(index), manual));
        source->worker->onAnswer = wake;
        sources.push_back(std::move(source));
    }
}

void FindSearch::ask(const std::string& query, double lat, double lon, const Waypoints& waypoints)
{
    waypointsFound = matchWaypoints(query, lat, lon, waypoints, waypointKind);
    problem.clear();
    for (auto& source : sources) {
        source->found.clear();
        source->answered = Folding::words(query).empty();
        if (!source->answered)
            source->asked = source->worker->want(query, lat, lon, limit);
    }
    merge();
}

bool FindSearch::take()
{
    bool changed = false;
    for (auto& source : sources) {
        SearchAnswer answer;
        if (source->answered || !source->worker->take(&answer) || answer.number != source->asked)
            continue;
        source->answered = true;
        source->found = std::move(answer.results);
        if (!answer.problem.empty())
            problem = source->path.substr(source->path.rfind('/') + 1) + ": " + answer.problem;
        changed = true;
    }
    if (changed)
        merge();
    return changed;
}

void FindSearch::step()
{
    for (auto& source : sources)
        source->worker->step();
}

bool FindSearch::busy() const
{
    return std::any_of(sources.begin(), sources.end(), [](const std::unique_ptr<Source>& s) { return !s->answered; });
}

void FindSearch::merge()
{
    results = waypointsFound;
    for (const auto& source : sources)
        results.insert(results.end(), source->found.begin(), source->found.end());
    std::stable_sort(results.begin(), results.end(), [](const SearchResult& a, const SearchResult& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.distance < b.distance;
    });
    if (results.size() > limit)
        results.resize(limit);
}

std::vector<SearchResult> FindSearch::matchWaypoints(const std::string& query, double lat, double lon,
                                                     const Waypoints& waypoints, const std::string& kind)
{
    std::vector<SearchResult> out;
    const std::vector<std::string> asked = Folding::words(query);
    if (asked.empty())
        return out;
    for (const Waypoints::Waypoint& w : waypoints.list) {
        const std::vector<std::string> words = Folding::words(w.name);
        const bool all = std::all_of(asked.begin(), asked.end(), [&](const std::string& a) {
            return std::any_of(words.begin(), words.end(), [&](const std::string& n) { return startsWith(n, a); });
        });
        if (!all)
            continue;
        SearchResult r;
        r.name = w.name;
        r.kind = kind;
        r.lat = w.lat;
        r.lon = w.lon;
        r.distance = Geodesy::distance(lat, lon, w.lat, w.lon);
        r.bearing = Geodesy::bearing(lat, lon, w.lat, w.lon);
        r.rank = startsWith(words.front(), asked.front()) ? 0 : 1;
        out.push_back(r);
    }
    return out;
}
