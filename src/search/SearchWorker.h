#ifndef TESSEL_SEARCH_SEARCHWORKER_H
#define TESSEL_SEARCH_SEARCHWORKER_H

#include "SearchIndex.h"

#include <condition_variable>
#include <functional>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What one query found, for the keystroke that asked.
struct SearchAnswer {
    std::uint64_t number = 0;  // of the want() it answers
    std::string query;
    std::vector<SearchResult> results;
    std::string problem;  // why the index failed, if it did
};

// Searches on a thread of its own, so typing never waits for a query: each
// want() replaces a query not yet begun and makes the one running give up
// at its next block; take() hands over the answer to the latest want()
// once. In the manual mode no thread runs and step() answers on the
// caller's thread (tests drive it so, without timing).
class SearchWorker {
public:
    SearchWorker(std::unique_ptr<SearchIndex> index, bool manual = false);
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // Returns the query's number.
    std::uint64_t want(const std::string& query, double lat, double lon, std::size_t limit);
    // The answer to the latest query, once; false until there is one.
    bool take(SearchAnswer* out);
    // Manual mode: answers the waiting query, if any; false when none waited.
    bool step();
    // Runs (on the worker's thread) when an answer is ready to take; set
    // before the first want().
    std::function<void()> onAnswer;

private:
    struct Query {
        std::uint64_t number = 0;
        std::string text;
        double lat = 0, lon = 0;
        std::size_t limit = 0;
    };
    void run();
    bool answer(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<SearchIndex> index;
    std::mutex mutex;
    std::condition_variable wake;
    Query pending;
    bool waiting = false, stopping = false, ready = false;
    std::uint64_t latest = 0;
    SearchAnswer done;
    std::thread thread;
};

#endif
