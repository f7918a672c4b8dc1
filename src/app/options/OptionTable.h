#ifndef TESSEL_OPTIONTABLE_H
#define TESSEL_OPTIONTABLE_H

#include "OptionRow.h"

#include <vector>

// Every setting of "tessel.conf", one row each, in the order of the options
// page. Adding an option is a row here and its texts in lang/.
class OptionTable {
public:
    static const std::vector<OptionRow>& rows();
};

#endif
