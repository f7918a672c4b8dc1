// The search's keystroke measure, without the benchmark library so that it
// builds and runs on other machines (under qemu) too.
//   tessel_search_keys make NAMES OUTPUT [ANDORRA.osm.pbf]
//       a synthetic index of about NAMES names made of real name parts (the
//       words of the Andorra extract's names), clustered around towns over a
//       country-sized area around Andorra, plus Andorra's own entries
//   tessel_search_keys keys INDEX [TARGETS]
//       types the first words of TARGETS names found in the index a letter at
//       a time and answers the 20 nearest matches from the 2nd letter on,
//       near a random town: prints the processor milliseconds per keystroke
//       (median, 95th percentile, worst), blocks read, peak resident size and the
//       index's bytes per name.
#include "Folding.h"
#include "IndexWriter.h"
#include "OsmSource.h"
#include "SearchIndex.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <vector>

namespace {

// Words of real names: Andorra's, read through the same index code.
std::vector<std::string> realWords(const std::string& pbf, IndexWriter* writer)
{
    std::string why;
    const std::string scratch = "/tmp/tessel-search-words.search";
    IndexWriter words(scratch);
    OsmSource source(&words, "/tmp");
    std::set<std::string> found;
    if (!words.open(&why) || !source.readFile(pbf, &why) || !words.finish(&why)) {
        std::fprintf(stderr, "%s: %s\n", pbf.c_str(), why.c_str());
        std::exit(1);
    }
    // Andorra's entries go into the big index as they are.
    OsmSource again(writer, "/tmp");
    again.readFile(pbf, &why);
    auto index = SearchIndex::open(scratch, &why);
    std::vector<SearchResult> all;
    for (char c = 'a'; c <= 'z'; ++c) {
        index->search(std::string(1, c), 42.5, 1.5, 1000, &all, &why);
        for (const SearchResult& r : all) {
            std::string word;
            for (char ch : r.name + " ") {
                if (ch == ' ' || ch == ',' || ch == '\'') {
                    if (word.size() >= 2)
                        found.insert(word);
                    word.clear();
                } else {
                    word += ch;
                }
            }
        }
    }
    std::remove(scratch.c_str());
    return std::vector<std::string>(found.begin(), found.end());
}

int make(long names, const std::string& output, const std::string& pbf)
{
    std::remove(output.c_str());
    IndexWriter writer(output);
    std::string why;
    if (!writer.open(&why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    const std::vector<std::string> parts = realWords(pbf, &writer);
    std::mt19937 random(1);
    auto part = [&] { return parts[random() % parts.size()]; };
    // New words from the halves of real ones, as a country has many more than Andorra.
    auto word = [&] {
        const std::string a = part(), b = part();
        return random() % 3 ? a : Folding::firstCharacters(a, Folding::characters(a) / 2 + 1) +
                                      b.substr(b.size() / 2);
    };
    struct Town {
        std::string name;
        double lat, lon, spread;
    };
    std::vector<Town> towns;
    for (int i = 0; i < 4000; ++i) {
        const double size = 1.0 / (1 + i % 400);  // a few large towns, many small ones
        towns.push_back({word() + (random() % 4 ? "" : " " + word()), 39 + (random() % 700000) / 1e5,
                         -3 + (random() % 1000000) / 1e5, 0.003 + 0.05 * size});
    }
    for (const Town& t : towns) {
        SearchEntry e;
        e.kind = "town";
        e.names = {t.name};
        e.lat = t.lat;
        e.lon = t.lon;
        writer.add(e);
    }
    std::normal_distribution<double> gauss(0, 1);
    std::vector<std::string> streets;
    for (long n = 0; n < names; ++n) {
        const Town& t = towns[std::min<std::size_t>(towns.size() - 1, static_cast<std::size_t>(
                                                                          std::abs(gauss(random)) * towns.size() / 3))];
        SearchEntry e;
        e.place = t.name;
        e.lat = std::max(-89.0, std::min(89.0, t.lat + gauss(random) * t.spread));
        e.lon = t.lon + gauss(random) * t.spread * 1.4;
        const int what = static_cast<int>(random() % 20);
        if (what < 10 && !streets.empty()) {
            e.kind = "address";
            e.names = {streets[random() % streets.size()] + " " + std::to_string(1 + random() % 150)};
        } else if (what < 15) {
            e.kind = "street";
            e.names = {part() + " " + word() + (random() % 2 ? " " + word() : "")};
            if (streets.size() < 20000)
                streets.push_back(e.names[0]);
            else
                streets[random() % streets.size()] = e.names[0];
        } else {
            e.kind = random() % 2 ? "restaurant" : "shop";
            e.names = {word() + (random() % 2 ? " " + word() : "")};
            if (random() % 8 == 0)
                e.names.push_back(word());
        }
        writer.add(e);
    }
    const bool ok = writer.finish(&why);
    if (!ok) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    std::printf("wrote %s: %llu entries, %llu names, %llu blocks\n", output.c_str(),
                static_cast<unsigned long long>(writer.entries), static_cast<unsigned long long>(writer.names),
                static_cast<unsigned long long>(writer.blocks));
    return 0;
}

// The searching thread's processor time, not the clock's: on a shared
// machine (or under an emulator) other work would count otherwise.
double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

int keys(const std::string& path, int targets)
{
    std::string why;
    auto index = SearchIndex::open(path, &why);
    if (!index) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), why.c_str());
        return 1;
    }
    std::mt19937 random(2);
    // Targets: names found by random two-letter searches at random points.
    std::vector<std::pair<std::string, std::pair<double, double>>> typed;
    std::vector<SearchResult> out;
    for (int tries = 0; static_cast<int>(typed.size()) < targets; ++tries) {
        if (tries > 100 * targets) {
            std::fprintf(stderr, "%s: too few names to type\n", path.c_str());
            return 1;
        }
        const double lat = 39 + (random() % 700000) / 1e5, lon = -3 + (random() % 1000000) / 1e5;
        const std::string start = {static_cast<char>('a' + random() % 26), static_cast<char>('a' + random() % 26)};
        if (!index->search(start, lat, lon, 20, &out, &why)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), why.c_str());
            return 1;
        }
        if (out.empty())
            continue;
        const SearchResult& r = out[random() % out.size()];
        const std::vector<std::string> words = Folding::words(r.name);
        typed.push_back({words[0] + (words.size() > 1 ? " " + words[1] : ""), {lat, lon}});
    }
    std::vector<double> ms;
    std::size_t blocks = 0, worstBlocks = 0, cut = 0;
    for (const auto& t : typed) {
        for (std::size_t n = 2; n <= t.first.size(); ++n) {
            const double start = cpuMs();
            index->search(t.first.substr(0, n), t.second.first, t.second.second, 20, &out, &why);
            ms.push_back(cpuMs() - start);
            if (std::getenv("TESSEL_SEARCH_SLOW") && ms.back() > std::atof(std::getenv("TESSEL_SEARCH_SLOW")))
                std::fprintf(stderr, "slow: '%s' near %.3f, %.3f: %.2f ms, %zu blocks, %zu found\n",
                             t.first.substr(0, n).c_str(), t.second.first, t.second.second, ms.back(),
                             index->blocksRead, out.size());
            blocks += index->blocksRead;
            worstBlocks = std::max(worstBlocks, index->blocksRead);
            cut += index->cut;
        }
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    struct stat st;
    stat(path.c_str(), &st);
    std::printf("%zu keystrokes: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms; blocks read %.1f on average, "
                "%zu at most, %zu searches cut; peak resident %ld KiB; %llu names, %.1f bytes per name\n",
                ms.size(), percentile(ms, 0.5), percentile(ms, 0.95), percentile(ms, 1.0),
                static_cast<double>(blocks) / static_cast<double>(ms.size()), worstBlocks, cut, usage.ru_maxrss,
                static_cast<unsigned long long>(index->names),
                static_cast<double>(st.st_size) / static_cast<double>(index->names));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "make" && argc >= 4)
        return make(std::atol(argv[2]), argv[3], argc > 4 ? argv[4] : "../shared/fixtures/andorra.osm.pbf");
    if (what == "keys" && argc >= 3)
        return keys(argv[2], argc > 3 ? std::atoi(argv[3]) : 200);
    std::fprintf(stderr, "usage: tessel_search_keys make NAMES OUTPUT [ANDORRA.osm.pbf] | keys INDEX [TARGETS]\n");
    return 2;
}
