#include "Warnings.h"

void Warnings::add(const std::string& kind, const std::string& text)
{
    if (++counts[kind] <= shownPerKind)
        out << "tessel-pack: warning: " << text << "\n";
}

void Warnings::summary()
{
    for (const auto& kc : counts)
        if (kc.second > shownPerKind)
            out << "tessel-pack: warning: ... and " << kc.second - shownPerKind << " more: " << kc.first << "\n";
}

int Warnings::count(const std::string& kind) const
{
    const auto it = counts.find(kind);
    return it == counts.end() ? 0 : it->second;
}
