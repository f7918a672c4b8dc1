#ifndef TESSEL_FINDSEARCH_H
#define TESSEL_FINDSEARCH_H

#include "SearchResult.h"
#include "SearchWorker.h"
#include "Waypoints.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The search indexes of maps/ (every "*.search" file), each asked on a
// worker thread of its own, and the user's waypoints, asked at once: the
// answers to the latest query merged, good matches first, nearest first.
class FindSearch {
public:
    static const std::size_t limit = 40;

    // Opens the indexes of `folder` not open yet (one put there while the
    // viewer runs is found the next time); problems go to *problems.
    // `manual`: no threads, step() answers (tests). `wake` runs on a
    // worker's thread when it hands an answer over.
    void open(const std::string& folder, bool manual, const std::function<void()>& wake,
              std::vector<std::string>* problems);
    bool haveIndex() const { return !sources.empty(); }

    // A new query near (lat, lon); an older one still running gives up.
    void ask(const std::string& query, double lat, double lon, const Waypoints& waypoints);
    // Takes what the workers answered; true when the results changed.
    bool take();
    // Manual mode: answers every waiting query.
    void step();
    // True while some index has not answered the latest query.
    bool busy() const;

    // The waypoints whose names hold every word of the query.
    static std::vector<SearchResult> matchWaypoints(const std::string& query, double lat, double lon,
                                                    const Waypoints& waypoints, const std::string& kind);

    std::vector<SearchResult> results;
    std::string problem; // why an index failed, if one did
    std::string waypointKind = "waypoint";

private:
    struct Source {
        std::string path;
        std::unique_ptr<SearchWorker> worker;
        std::uint64_t asked = 0;
        bool answered = true;
        std::vector<SearchResult> found;
    };
    void merge();

    std::vector<std::unique_ptr<Source>> sources;
    std::vector<SearchResult> waypointsFound;
    std::set<std::string> opened; // file names
};

#endif
