#include "Settings.h"

#include "OptionTable.h"

#include <algorithm>

void Settings::readFrom(const ConfParser& conf)
{
    // show_battery=auto: the symbol where the machine has a battery.
    showBattery = batteryFound;
    for (const OptionRow& row : OptionTable::rows()) {
        std::string stored;
        if (!conf.stringValue(row.key, &stored))
            continue;
        switch (row.kind) {
        case OptionRow::Kind::flag:
            if (row.keepWord && stored == row.keepWord)
                break;
            if (std::string(row.noWord) == "no")
                conf.boolValue(row.key, &(this->*row.flag));
            else
                this->*row.flag = stored != row.noWord;
            break;
        case OptionRow::Kind::number:
            for (std::size_t w = 0; w < row.words.size(); ++w)
                if (stored == row.words[w])
                    this->*row.number = static_cast<int>(w);
            if (!row.words.empty())
                break;
            // Numbers from the file are kept to ranges the program can work with.
            conf.intValue(row.key, &(this->*row.number));
            this->*row.number = std::max(row.low, std::min(this->*row.number, row.high));
            break;
        case OptionRow::Kind::text:
        case OptionRow::Kind::language:
            this->*row.text = stored;
            break;
        }
    }
}
