#include "VectorStyle.h"

#include "RegularFileStream.h"
#include "SafeFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using json = nlohmann::json;

bool fail(std::string* error, const std::string& why)
{
    *error = why;
    return false;
}

// A member's text, or the fallback when it is missing or not text (value() would throw).
std::string textOf(const json& j, const char* key, const std::string& fallback)
{
    const auto found = j.find(key);
    return found != j.end() && found->is_string() ? found->get<std::string>() : fallback;
}

double numberOf(const json& j, const char* key, double fallback)
{
    const auto found = j.find(key);
    return found != j.end() && found->is_number() ? found->get<double>() : fallback;
}

// Pieces past this many in one label are refused: each is looked up for
// every feature the layer labels.
const std::size_t maxPieces = 64;

bool tooMany(std::string* error)
{
    return fail(error, "more property names than a style may use");
}

// "{name} ({ele})" into literal pieces and property slots.
bool parseTemplate(const std::string& t, StyleSlots* slots, std::vector<TextField::Piece>* pieces, std::string* error)
{
    std::size_t i = 0;
    while (i < t.size()) {
        if (pieces->size() >= maxPieces)
            return fail(error, "a text-field of more than " + std::to_string(maxPieces) + " pieces");
        const std::size_t open = t.find('{', i), close = open == std::string::npos ? open : t.find('}', open);
        if (close == std::string::npos) {
            pieces->push_back({t.substr(i), -1});
            break;
        }
        if (open > i)
            pieces->push_back({t.substr(i, open - i), -1});
        const int slot = slots->of(t.substr(open + 1, close - open - 1));
        if (slot < 0)
            return tooMany(error);
        pieces->push_back({std::string(), slot});
        i = close + 1;
    }
    return true;
}

bool addTemplate(const std::string& t, StyleSlots* slots, TextField* out, std::string* error)
{
    out->alternatives.emplace_back();
    return parseTemplate(t, slots, &out->alternatives.back(), error);
}

// `depth` counts nested coalesces: a hostile style nests them without end.
bool parseTextField(const json& j, StyleSlots* slots, TextField* out, std::string* error, int depth = 0)
{
    if (j.is_string())
        return addTemplate(j.get<std::string>(), slots, out, error);
    if (j.is_array() && j.size() == 2 && j[0] == "get" && j[1].is_string()) {
        const int slot = slots->of(j[1].get<std::string>());
        if (slot < 0)
            return tooMany(error);
        out->alternatives.push_back({{std::string(), slot}});
        return true;
    }
    if (j.is_array() && j.size() >= 2 && j[0] == "coalesce" && depth < 4) {
        if (j.size() > maxPieces)
            return fail(error, "a coalesce of more than " + std::to_string(maxPieces) + " choices");
        for (std::size_t i = 1; i < j.size(); ++i)
            if (j[i].is_array() && !parseTextField(j[i], slots, out, error, depth + 1))
                return false;
            else if (j[i].is_string() && !addTemplate(j[i].get<std::string>(), slots, out, error))
                return false;
        return true;
    }
    return fail(error, "a text-field that is not a template, [\"get\", name] or [\"coalesce\", ...]");
}

// The kind of name an alternative takes: the first name it takes that is not local.
LabelLanguage::Choice languageOf(const std::vector<TextField::Piece>& pieces, const StyleSlots& slots)
{
    for (const TextField::Piece& p : pieces)
        if (p.slot >= 0 && LabelLanguage::ofName(slots.names[static_cast<std::size_t>(p.slot)]) != LabelLanguage::local)
            return LabelLanguage::ofName(slots.names[static_cast<std::size_t>(p.slot)]);
    return LabelLanguage::local;
}

bool parseType(const std::string& type, StyleLayer::Type* out)
{
    const char* names[] = {"background", "fill", "line", "symbol"};
    for (int i = 0; i < 4; ++i)
        if (type == names[i]) {
            *out = static_cast<StyleLayer::Type>(i);
            return true;
        }
    return false;
}

// Whether a text-font list (or ["literal", [...]] of one) names a bold face.
// Looked through, never copied: a hostile style nests arrays deep.
bool namesBold(const json& font, int depth)
{
    if (font.is_string())
        return font.get<std::string>().find("Bold") != std::string::npos;
    return font.is_array() && depth < 2 &&
           std::any_of(font.begin(), font.end(), [depth](const json& f) { return namesBold(f, depth + 1); });
}

// The paint and layout properties of one layer, by its type's prefix.
bool parseLooks(const json& paint, const json& layout, StyleLayer* l, StyleSlots* slots,
                std::string* error)
{
    const char* prefix = l->type == StyleLayer::Type::background ? "background-"
                         : l->type == StyleLayer::Type::fill     ? "fill-"
                         : l->type == StyleLayer::Type::line     ? "line-"
                                                                 : "text-";
    const std::string p = prefix;
    const json zero = 0;
    bool ok = true;
    auto number = [&](const json& from, const std::string& key, ZoomFunction* f) {
        if (ok && from.contains(key))
            ok = f->parseNumber(from[key], error) || fail(error, key + ": " + *error);
    };
    auto colour = [&](const json& from, const std::string& key, ZoomFunction* f) {
        if (ok && from.contains(key))
            ok = f->parseColour(from[key], error) || fail(error, key + ": " + *error);
    };
    l->colour = ZoomFunction(StyleColour{0, 0, 0, 1});
    colour(paint, p + "color", &l->colour);
    number(paint, p + "opacity", &l->opacity);
    colour(paint, "fill-outline-color", &l->outline);
    number(paint, "line-width", &l->width);
    number(layout, "text-size", &l->textSize);
    colour(paint, "text-halo-color", &l->haloColour);
    number(paint, "text-halo-width", &l->haloWidth);
    if (ok && paint.contains("line-dasharray")) {
        const json& d = paint["line-dasharray"];
        ok = d.is_array() && d.size() <= 16 && std::all_of(d.begin(), d.end(), [](const json& v) {
                 return v.is_number() && v.get<double>() >= 0 && v.get<double>() < 1000;
             });
        for (const json& v : ok ? d : json::array())
            l->dashes.push_back(v.get<double>());
        if (!ok)
            *error = "line-dasharray is not a list of up to 16 lengths";
    }
    l->roundCaps = textOf(layout, "line-cap", "") == "round";
    if (ok && l->type == StyleLayer::Type::symbol) {
        if (!layout.contains("text-field"))
            return fail(error, "a symbol layer without a text-field");
        ok = parseTextField(layout["text-field"], slots, &l->text, error);
        for (const auto& pieces : l->text.alternatives)
            l->text.languages.push_back(languageOf(pieces, *slots));
        l->bold = layout.contains("text-font") && namesBold(layout["text-font"], 0);
        const std::string placement = textOf(layout, "symbol-placement", "point");
        l->alongLine = placement == "line" || placement == "line-center";
        const json& key = layout.contains("symbol-sort-key") ? layout["symbol-sort-key"] : zero;
        if (key.is_number())
            l->sortKey = key.get<double>();
        else if (key.is_array() && key.size() == 2 && key[0] == "get" && key[1].is_string())
            ok = (l->sortSlot = slots->of(key[1].get<std::string>())) >= 0 || tooMany(error);
        else
            ok = fail(error, "symbol-sort-key is neither a number nor [\"get\", name]");
    }
    return ok;
}

bool parseLayer(const json& j, StyleLayer* l, StyleSlots* slots, std::string* error)
{
    if (!j.is_object())
        return fail(error, "not an object");
    if (!j.contains("type") || !j["type"].is_string() || !parseType(j["type"].get<std::string>(), &l->type))
        return fail(error, "a type other than background, fill, line or symbol");
    l->sourceLayer = textOf(j, "source-layer", "");
    for (const char* key : {"minzoom", "maxzoom"})
        if (j.contains(key) && !j[key].is_number())
            return fail(error, std::string(key) + " is not a number");
    l->minZoom = numberOf(j, "minzoom", 0.0);
    l->maxZoom = numberOf(j, "maxzoom", 99.0);
    if (j.contains("filter") && !l->filter.parse(j["filter"], slots, error))
        return false;
    const json empty = json::object();
    const json& paint = j.contains("paint") && j["paint"].is_object() ? j["paint"] : empty;
    const json& layout = j.contains("layout") && j["layout"].is_object() ? j["layout"] : empty;
    if (textOf(layout, "visibility", "visible") == "none")
        return fail(error, "hidden");
    return parseLooks(paint, layout, l, slots, error);
}

} // namespace

bool VectorStyle::parse(const std::string& text, VectorStyle* out, std::string* error)
{
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object())
        return fail(error, "not JSON");
    const auto layers = root.find("layers");
    if (layers == root.end() || !layers->is_array())
        return fail(error, "no \"layers\" list");
    out->name = textOf(root, "name", "");
    const auto meta = root.find("metadata");
    if (meta != root.end() && meta->is_object() && meta->contains("tessel:schema") && (*meta)["tessel:schema"].is_array())
        for (const json& s : (*meta)["tessel:schema"])
            if (s.is_string())
                out->schema.push_back(s.get<std::string>());
    for (const json& j : *layers) {
        if (out->layers.size() == maxLayers) {
            out->skipped.push_back("layers past the first " + std::to_string(maxLayers));
            break;
        }
        StyleLayer layer;
        std::string why;
        try {
            layer.id = j.is_object() ? textOf(j, "id", "") : "";
            if (parseLayer(j, &layer, &out->slots, &why))
                out->layers.push_back(std::move(layer));
        } catch (const json::exception& e) {
            why = e.what();
        }
        if (!why.empty() && why != "hidden")
            out->skipped.push_back("layer \"" + layer.id + "\": " + why);
    }
    return true;
}

bool VectorStyle::load(const std::string& path, VectorStyle* out, std::string* error)
{
    // Read on the descriptor whose type was checked: never waits on a FIFO.
    RegularFileStream in(path);
    if (!in.isOpen())
        return fail(error, "cannot be read");
    // Read as it comes, not into a buffer of the largest size: the toolbox
    // reads every style to choose one, and clearing 4 MB each time cost more
    // than drawing a tile.
    std::string text;
    char chunk[1 << 16];
    while (text.size() <= maxBytes && in.read(chunk, sizeof chunk).gcount() > 0)
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (text.size() > maxBytes)
        return fail(error, "larger than " + std::to_string(maxBytes >> 20) + " MB");
    return parse(text, out, error);
}

void VectorStyle::darken()
{
    for (StyleLayer& l : layers) {
        l.colour.darken();
        l.outline.darken();
        l.haloColour.darken();
    }
}

std::vector<std::string> VectorStyle::sourceLayers() const
{
    std::vector<std::string> names;
    for (const StyleLayer& l : layers) {
        if (l.type == StyleLayer::Type::background)
            continue;
        if (l.sourceLayer.empty())
            return {};
        if (std::find(names.begin(), names.end(), l.sourceLayer) == names.end())
            names.push_back(l.sourceLayer);
    }
    if (names.empty())
        names.push_back(std::string()); // a style of the background only: no layer at all
    return names;
}
