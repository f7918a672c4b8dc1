#ifndef TESSEL_CONFPARAMETER_H
#define TESSEL_CONFPARAMETER_H

#include <string>

// One line of a configuration file. Comment lines keep their whole text in
// `value` and have an empty `name`; blank lines have both empty.
struct ConfParameter {
    std::string name;
    std::string value;
};

#endif
