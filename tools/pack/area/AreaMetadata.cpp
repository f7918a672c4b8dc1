#include "AreaMetadata.h"

#include "PMTilesHeader.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace AreaMetadata {

namespace {

using Json = nlohmann::json;

Json object(const std::string& text)
{
    Json j = Json::parse(text, nullptr, false);
    return j.is_object() ? j : Json::object();
}

// Metadata rows are the archive's bytes; text that is not UTF-8 is replaced rather than thrown on.
std::string text(const Json& j)
{
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string boundsText(const Extent& e)
{
    return number(e.west) + "," + number(e.south) + "," + number(e.east) + "," + number(e.north);
}

std::string centreText(const Extent& e)
{
    return number(e.centreLon) + "," + number(e.centreLat) + "," + std::to_string(e.centreZoom);
}

} // namespace

std::string rowsToJson(const std::map<std::string, std::string>& rows)
{
    Json out = Json::object();
    for (const auto& row : rows) {
        if (row.first == "json")
            out.update(object(row.second));
        else
            out[row.first] = row.second;
    }
    return text(out);
}

std::map<std::string, std::string> jsonToRows(const std::string& json, const Extent& e, const std::string& format)
{
    std::map<std::string, std::string> rows;
    Json rest = Json::object();
    const Json parsed = object(json);
    for (auto member = parsed.begin(); member != parsed.end(); ++member) {
        if (member->is_string())
            rows[member.key()] = member->get<std::string>();
        else if (member->is_number())
            rows[member.key()] = text(*member);
        else
            rest[member.key()] = *member;
    }
    if (!rest.empty())
        rows["json"] = text(rest);
    if (!format.empty())
        rows["format"] = format;
    if (!rows.count("name"))
        rows["name"] = "Extract";
    rows["bounds"] = boundsText(e);
    rows["center"] = centreText(e);
    rows["minzoom"] = std::to_string(e.minZoom);
    rows["maxzoom"] = std::to_string(e.maxZoom);
    return rows;
}

std::string withExtent(const std::string& json, const Extent& e)
{
    Json out = object(json);
    if (out.contains("bounds"))
        out["bounds"] = boundsText(e);
    if (out.contains("center"))
        out["center"] = centreText(e);
    if (out.contains("minzoom"))
        out["minzoom"] = std::to_string(e.minZoom);
    if (out.contains("maxzoom"))
        out["maxzoom"] = std::to_string(e.maxZoom);
    return text(out);
}

int tileType(const std::string& format)
{
    if (format == "png")
        return PMTiles::Header::png;
    if (format == "jpg" || format == "jpeg")
        return PMTiles::Header::jpeg;
    if (format == "webp")
        return PMTiles::Header::webp;
    if (format == "pbf" || format == "mvt")
        return PMTiles::Header::mvt;
    return PMTiles::Header::unknownType;
}

std::string formatOf(int type)
{
    switch (type) {
    case PMTiles::Header::png:
        return "png";
    case PMTiles::Header::jpeg:
        return "jpg";
    case PMTiles::Header::webp:
        return "webp";
    case PMTiles::Header::mvt:
        return "pbf";
    default:
        return "";
    }
}

int tileTypeOf(const std::string& format, const std::string& sample)
{
    const int named = tileType(format);
    if (named != PMTiles::Header::unknownType)
        return named;
    if (sample.compare(0, 4, "\x89PNG") == 0)
        return PMTiles::Header::png;
    if (sample.compare(0, 2, "\xff\xd8") == 0)
        return PMTiles::Header::jpeg;
    if (sample.size() > 12 && sample.compare(8, 4, "WEBP") == 0)
        return PMTiles::Header::webp;
    return sample.compare(0, 2, "\x1f\x8b") == 0 ? PMTiles::Header::mvt : PMTiles::Header::unknownType;
}

} // namespace AreaMetadata
