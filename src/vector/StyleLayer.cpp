#include "StyleLayer.h"

std::string TextField::text(const FeatureView& f) const
{
    for (const std::vector<Piece>& pieces : alternatives) {
        std::string out;
        bool missing = false;
        for (const Piece& p : pieces) {
            if (p.slot < 0) {
                out += p.literal;
                continue;
            }
            const VectorValue* v = f.get(p.slot);
            missing = missing || !v;
            if (v)
                out += v->toText();
        }
        if (!missing && !out.empty())
            return out;
    }
    return std::string();
}
