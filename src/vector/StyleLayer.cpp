#include "StyleLayer.h"

std::string TextField::alternative(std::size_t i, const FeatureView& f) const
{
    std::string out;
    for (const Piece& p : alternatives[i]) {
        if (p.slot < 0) {
            out += p.literal;
            continue;
        }
        const VectorValue* v = f.get(p.slot);
        if (!v)
            return std::string();
        out += v->toText();
    }
    return out;
}

bool TextField::present(const FeatureView& f) const
{
    for (const std::vector<Piece>& pieces : alternatives) {
        bool all = true;
        for (const Piece& p : pieces)
            all = all && (p.slot < 0 || f.get(p.slot));
        if (all)
            return true;
    }
    return false;
}

std::vector<std::size_t> TextField::order(LabelLanguage::Choice language) const
{
    using LabelLanguage::Choice;
    std::vector<Choice> tiers{Choice::local};
    if (language == Choice::latin)
        tiers = {Choice::latin, Choice::english, Choice::local};
    else if (language == Choice::english)
        tiers = {Choice::english, Choice::latin, Choice::local};
    std::vector<std::size_t> out;
    for (Choice tier : tiers)
        for (std::size_t i = 0; i < alternatives.size(); ++i)
            if (tiers.size() == 1 || (i < languages.size() ? languages[i] : Choice::local) == tier)
                out.push_back(i);
    return out;
}

std::string TextField::text(const FeatureView& f, const std::vector<std::size_t>& order,
                            bool (*drawable)(const std::string&)) const
{
    std::string first;
    for (std::size_t i : order) {
        std::string out = alternative(i, f);
        if (out.empty())
            continue;
        if (!drawable || drawable(out))
            return out;
        if (first.empty())
            first = std::move(out);
    }
    return first;
}
