#include "OptionChoices.h"

#include "ConfParser.h"
#include "Lang.h"
#include "Menu.h"
#include "OptionTable.h"
#include "Pages.h"
#include "Settings.h"

#include <string>

bool OptionChoices::choose(int a)
{
    const std::vector<OptionRow>& rows = OptionTable::rows();
    const std::vector<int>& pages = parts.pages->valuePages;
    const int shown = parts.menu->model.current;
    for (std::size_t i = 0; i < rows.size() && i < pages.size(); ++i) {
        if (pages[i] != shown || shown == -1)
            continue;
        const OptionRow& row = rows[i];
        switch (row.kind) {
        case OptionRow::Kind::flag:
            chooseFlag(row, a);
            break;
        case OptionRow::Kind::number:
            chooseNumber(row, a);
            break;
        case OptionRow::Kind::language: {
            const LanguageList& languages = parts.pages->languages;
            if (a >= 0 && a < static_cast<int>(languages.files.size()))
                parts.lang->load(languages.files[static_cast<std::size_t>(a)]); // stores "language" itself
            break;
        }
        case OptionRow::Kind::text:
            break;
        }
        return true;
    }
    return false;
}

// The first line of a flag's page means yes, the second no.
void OptionChoices::chooseFlag(const OptionRow& row, int a)
{
    bool& value = parts.options->*row.flag;
    if (a == row.yesLine)
        value = true;
    else if (a == row.yesLine + 1)
        value = false;
    parts.settings->setValue(row.key, value ? row.yesWord : row.noWord);
    if (row.apply)
        row.apply(parts, value ? 1 : 0);
}

void OptionChoices::chooseNumber(const OptionRow& row, int value)
{
    // Applied first: it may compare the new value with the old.
    if (row.apply)
        row.apply(parts, value);
    parts.options->*row.number = value;
    const bool named = value >= 0 && static_cast<std::size_t>(value) < row.words.size();
    parts.settings->setValue(row.key, named ? row.words[static_cast<std::size_t>(value)] : std::to_string(value));
}
