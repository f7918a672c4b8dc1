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

namespace {

// A string's own size and, past what it holds inside itself, its buffer.
std::size_t heldBy(const std::string& s)
{
    return sizeof s + (s.capacity() > 15 ? s.capacity() + 17 : 0);
}

template <typename T> std::size_t heldBy(const std::vector<T>& v)
{
    return v.capacity() * sizeof(T) + 16;
}

} // namespace

std::size_t VectorTile::heldBytes() const
{
    std::size_t n = sizeof *this + heldBy(layers);
    for (const VectorLayer& layer : layers) {
        n += heldBy(layer.name) + heldBy(layer.keys) + heldBy(layer.values) + heldBy(layer.features);
        for (const std::string& key : layer.keys)
            n += heldBy(key) - sizeof key;
        for (const VectorValue& value : layer.values)
            n += heldBy(value.text) - sizeof value.text;
        for (const VectorFeature& f : layer.features)
            n += heldBy(f.tags) + heldBy(f.points) + heldBy(f.parts);
    }
    return n;
}
