#include "VectorTile.h"

#include <cmath>
#include <cstdio>

bool VectorValue::operator==(const VectorValue& o) const
{
    if (type != o.type)
        return false;
    switch (type) {
    case Type::text:
        return text == o.text;
    case Type::number:
        return number == o.number;
    case Type::boolean:
        return boolean == o.boolean;
    default:
        return true;
    }
}

std::string VectorValue::toText() const
{
    switch (type) {
    case Type::text:
        return text;
    case Type::boolean:
        return boolean ? "true" : "false";
    case Type::number: {
        if (std::fabs(number) < 1e15 && number == std::floor(number))
            return std::to_string(static_cast<long long>(number));
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", number);
        return buffer;
    }
    default:
        return std::string();
    }
}

int VectorLayer::keyIndex(const std::string& key) const
{
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key)
            return static_cast<int>(i);
    return -1;
}

const VectorValue* VectorLayer::value(const VectorFeature& feature, int key) const
{
    if (key < 0)
        return nullptr;
    for (std::size_t i = 0; i + 1 < feature.tags.size(); i += 2)
        if (feature.tags[i] == static_cast<std::uint32_t>(key))
            return &values[feature.tags[i + 1]];
    return nullptr;
}

std::size_t VectorTile::vertices() const
{
    std::size_t n = 0;
    for (const VectorLayer& layer : layers)
        for (const VectorFeature& feature : layer.features)
            n += feature.points.size();
    return n;
}
