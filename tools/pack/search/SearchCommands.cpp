#include "SearchCommands.h"

#include "Coordinates.h"
#include "Geodesy.h"
#include "IndexWriter.h"
#include "LabelSource.h"
#include "OsmSource.h"
#include "ProgressBar.h"
#include "ResultText.h"
#include "SearchIndex.h"
#include "TileArchive.h"
#include "TempOutput.h"
#include "ToolCommand.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

using ToolCommand::failure;

namespace SearchCommands {

const char* const indexUsage = "index SOURCE OUTPUT.search";
const char* const indexHelp =
    "Makes a search index from an OpenStreetMap extract (.osm.pbf): its places, streets (one entry per\n"
    "street and place), named points of interest with their kind, and addresses, under every name they\n"
    "have (name, name:*, alt_name, old_name), found without case or accents. SOURCE may also be a vector\n"
    "archive (.mbtiles, .pmtiles): its place, point-of-interest and street labels. Put it in maps/ beside\n"
    "the maps: the viewer finds it there. The file is written whole under a temporary name and renamed.";
const char* const searchUsage = "search INDEX QUERY [--near LAT,LON] [--limit N] [--json]";
const char* const searchHelp =
    "Prints what the viewer's search would show: the nearest good matches of QUERY (every word the start\n"
    "of a word of the name or its place), nearest first, with kind, place, distance and direction.\n"
    "QUERY may also be coordinates: 50.0875, 14.4213 or 50°05'15\"N 14°25'17\"E or N 50 05.250 E 14 25.283\n"
    "or geo:50.0875,14.4213.\n"
    "  --near LAT,LON   the point distances are told from (default: the middle of the index)\n"
    "  --limit N        how many results (default 20, at most 1000)\n"
    "  --json           one JSON document on standard output";

namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

long long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

nlohmann::json toJson(const SearchResult& r)
{
    nlohmann::json j = {{"name", r.name},     {"kind", r.kind},         {"place", r.place},
                        {"lat", r.lat},       {"lon", r.lon},           {"distance", std::lround(r.distance)},
                        {"bearing", std::lround(r.bearing) % 360}, {"zoom", ResultText::zoom(r.kind)}};
    if (!r.matched.empty())
        j["matched"] = r.matched;
    return j;
}

// What a source found, for the closing line.
struct Counts {
    std::uint64_t places = 0, pois = 0, addresses = 0, streets = 0, unplaced = 0;
};

// An OpenStreetMap extract or a vector archive read into the writer.
template <class Source>
bool readSource(Source& source, const std::string& path, bool (*interrupted)(), Counts* counts, std::string* why)
{
    source.progress = progressBar("reading");
    source.interrupted = interrupted;
    const bool read = source.readFile(path, why);
    endProgress();
    *counts = {source.places, source.pois, source.addresses, source.streets, source.unplaced};
    return read;
}

} // namespace

int index(const std::vector<std::string>& args, Options&, bool (*interrupted)())
{
    TempOutput output(args[1]);
    std::string why;
    if (!output.create(&why))
        return failure(why);
    IndexWriter writer(output.path());
    if (!writer.open(&why))
        return failure(why);
    Counts counts;
    bool read;
    if (TileArchive::kindOf(args[0]) != TileArchive::Kind::none) {
        LabelSource labels(&writer);
        read = readSource(labels, args[0], interrupted, &counts, &why);
        if (labels.badTiles)
            std::cerr << "tessel-pack: note: " << labels.badTiles << " tiles left out: they are not vector tiles\n";
    } else {
        OsmSource osm(&writer, directoryOf(args[1]));
        read = readSource(osm, args[0], interrupted, &counts, &why);
    }
    if (!read)
        return interrupted() ? 130 : failure(args[0] + ": " + why);
    if (!writer.finish(&why, progressBar("writing"))) {
        endProgress();
        return failure(why);
    }
    endProgress();
    if (writer.entries == 0)
        return failure(args[0] + ": holds no named places, streets, points of interest or addresses");
    if (interrupted())
        return 130;
    if (!output.keep(&why))
        return failure(why);
    const long long bytes = fileSize(args[1]);
    std::cout << "wrote " << args[1] << ": " << writer.entries << " entries (" << counts.places << " places, "
              << counts.pois << " points of interest, " << counts.addresses << " addresses, streets from "
              << counts.streets << " pieces), " << writer.names << " names, " << bytes << " bytes ("
              << (writer.names ? bytes / static_cast<long long>(writer.names) : 0) << " per name)\n";
    if (counts.unplaced)
        std::cerr << "tessel-pack: note: " << counts.unplaced << " ways left out: their nodes are not in the extract\n";
    return 0;
}

int search(const std::vector<std::string>& args, Options& o)
{
    std::string why;
    std::unique_ptr<SearchIndex> index = SearchIndex::open(args[0], &why);
    if (!index)
        return failure(args[0] + ": " + why);
    double lat = index->centreLat, lon = index->centreLon;
    if (o.count("--near") && !Coordinates::parse(o["--near"], &lat, &lon, &why))
        return failure("--near: " + why, 2);
    long long limit = 20;
    if (o.count("--limit") && (!ToolCommand::number(o["--limit"], &limit) || limit < 1 || limit > 1000))
        return failure("--limit takes a number from 1 to 1000", 2);
    const std::string& query = args[1];
    std::vector<SearchResult> results;
    bool coordinates = false;
    std::string hint;
    if (Coordinates::looksLike(query)) {
        SearchResult point;
        coordinates = Coordinates::parse(query, &point.lat, &point.lon, &hint);
        if (coordinates) {
            point.name = query;
            point.kind = "coordinates";
            point.distance = Geodesy::distance(lat, lon, point.lat, point.lon);
            point.bearing = Geodesy::bearing(lat, lon, point.lat, point.lon);
            results.push_back(point);
        }
    }
    std::vector<SearchResult> found;
    if (!coordinates && !index->search(query, lat, lon, static_cast<std::size_t>(limit), &found, &why))
        return failure(args[0] + ": " + why);
    results.insert(results.end(), found.begin(), found.end());
    if (o.count("--json")) {
        nlohmann::json list = nlohmann::json::array();
        for (const SearchResult& r : results)
            list.push_back(toJson(r));
        nlohmann::json doc = {{"query", query}, {"near", {lat, lon}}, {"results", list}};
        if (!hint.empty())
            doc["hint"] = hint;
        std::cout << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        for (const SearchResult& r : results) {
            char at[64];
            std::snprintf(at, sizeof at, "%.6f, %.6f", r.lat, r.lon);
            std::cout << ResultText::line(r) << " \xC2\xB7 " << at << "\n";
        }
        if (!hint.empty())
            std::cerr << "tessel-pack: " << hint << "\n";
        if (results.empty() && hint.empty())
            std::cerr << "tessel-pack: nothing found for '" << query << "'\n";
    }
    if (index->cut)
        std::cerr << "tessel-pack: note: the search stopped after reading " << index->blocksRead
                  << " blocks; farther matches may be missing\n";
    return results.empty() && !hint.empty() ? 1 : 0;
}

} // namespace SearchCommands
