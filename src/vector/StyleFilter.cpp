#include "StyleFilter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

namespace {

const int typeSlot = -1;
const std::size_t maxDepth = 16;

bool fail(std::string* error, const std::string& why)
{
    *error = why;
    return false;
}

bool toValue(const nlohmann::json& j, VectorValue* v)
{
    if (j.is_string()) {
        v->type = VectorValue::Type::text;
        v->text = j.get<std::string>();
    } else if (j.is_boolean()) {
        v->type = VectorValue::Type::boolean;
        v->boolean = j.get<bool>();
    } else if (j.is_number()) {
        v->type = VectorValue::Type::number;
        v->number = j.get<double>();
    } else {
        return false;
    }
    return true;
}

const char* kindName(VectorFeature::Kind kind)
{
    switch (kind) {
    case VectorFeature::Kind::point:
        return "Point";
    case VectorFeature::Kind::line:
        return "LineString";
    case VectorFeature::Kind::polygon:
        return "Polygon";
    default:
        return "Unknown";
    }
}

} // namespace

bool StyleFilter::parseOperand(const nlohmann::json& j, StyleSlots* slots, std::string* error)
{
    std::string name;
    if (j.is_string())
        name = j.get<std::string>();
    else if (j.is_array() && j.size() == 1 && j[0] == "geometry-type")
        name = "$type";
    else if (j.is_array() && j.size() == 2 && j[0] == "get" && j[1].is_string())
        name = j[1].get<std::string>();
    else
        return fail(error, "a filter whose property is neither a name nor [\"get\", name]");
    if (name == "$type") {
        slot = typeSlot;
        return true;
    }
    slot = slots->of(name);
    return slot >= 0 || fail(error, "more property names than a style may use");
}

bool StyleFilter::parse(const nlohmann::json& j, StyleSlots* slots, std::string* error)
{
    return parseAt(j, slots, error, 0);
}

bool StyleFilter::parseAt(const nlohmann::json& j, StyleSlots* slots, std::string* error, std::size_t depth)
{
    static const std::map<std::string, Op> ops = {
        {"all", Op::all}, {"any", Op::any}, {"none", Op::none}, {"==", Op::eq},   {"!=", Op::ne},
        {"in", Op::in},   {"!in", Op::notIn}, {"has", Op::has}, {"!has", Op::notHas}, {"<", Op::lt},
        {"<=", Op::le},   {">", Op::gt},    {">=", Op::ge}};
    if (j.is_boolean()) {
        op = j.get<bool>() ? Op::always : Op::none;
        return true;
    }
    if (!j.is_array() || j.empty() || !j[0].is_string() || !ops.count(j[0].get<std::string>()))
        return fail(error, "a filter that is not one of all, any, none, ==, !=, in, !in, has, !has, <, <=, >, >=");
    if (depth > maxDepth)
        return fail(error, "a filter nested too deep");
    op = ops.at(j[0].get<std::string>());
    if (op == Op::all || op == Op::any || op == Op::none) {
        for (std::size_t i = 1; i < j.size(); ++i) {
            children.emplace_back();
            if (!children.back().parseAt(j[i], slots, error, depth + 1))
                return false;
        }
        return true;
    }
    if (j.size() < 2 || !parseOperand(j[1], slots, error))
        return j.size() < 2 ? fail(error, "a filter without a property") : false;
    const bool single = op != Op::in && op != Op::notIn && op != Op::has && op != Op::notHas;
    if ((single && j.size() != 3) || ((op == Op::has || op == Op::notHas) && j.size() != 2))
        return fail(error, "a filter with the wrong number of values");
    for (std::size_t i = 2; i < j.size(); ++i) {
        VectorValue v;
        if (!toValue(j[i], &v))
            return fail(error, "a filter value that is not text, a number or true/false");
        values.push_back(v);
    }
    return true;
}

bool StyleFilter::compare(const VectorValue* v) const
{
    const bool inList = v && std::find(values.begin(), values.end(), *v) != values.end();
    switch (op) {
    case Op::eq:
    case Op::in:
        return inList;
    case Op::ne:
    case Op::notIn:
        return !inList;
    case Op::has:
        return v != nullptr;
    case Op::notHas:
        return v == nullptr;
    default:
        break;
    }
    const VectorValue& limit = values.front();
    if (!v || v->type != limit.type || v->type == VectorValue::Type::boolean)
        return false;
    const int order = v->type == VectorValue::Type::number ? (v->number < limit.number ? -1 : v->number > limit.number)
                                                            : v->text.compare(limit.text);
    return op == Op::lt ? order < 0 : op == Op::le ? order <= 0 : op == Op::gt ? order > 0 : order >= 0;
}

bool StyleFilter::matches(const FeatureView& f) const
{
    switch (op) {
    case Op::always:
        return true;
    case Op::all:
        return std::all_of(children.begin(), children.end(), [&](const StyleFilter& c) { return c.matches(f); });
    case Op::any:
        return std::any_of(children.begin(), children.end(), [&](const StyleFilter& c) { return c.matches(f); });
    case Op::none:
        return std::none_of(children.begin(), children.end(), [&](const StyleFilter& c) { return c.matches(f); });
    default:
        break;
    }
    if (slot == typeSlot) {
        VectorValue kind;
        kind.type = VectorValue::Type::text;
        kind.text = kindName(f.feature->kind);
        return compare(&kind);
    }
    return compare(f.get(slot));
}
