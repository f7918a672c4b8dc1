#ifndef TESSEL_CONFREADER_H
#define TESSEL_CONFREADER_H

#include "ConfParameter.h"

#include <istream>
#include <vector>

// The reader of the key=value format, byte by byte: a UTF-8 signature is
// dropped, names and values are cut at ConfParser's limits, quoted values
// may span lines. What it makes of any bytes is described at ConfParser.
class ConfReader {
public:
    static std::vector<ConfParameter> read(std::istream& in);
};

#endif
