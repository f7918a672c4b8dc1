#ifndef TESSEL_TEST_ROUTINGDATA_H
#define TESSEL_TEST_ROUTINGDATA_H

#include <string>

// Routing data made with Debian's planetsplitter from `area`.osm.pbf among
// the shared fixtures, once per run of the tests (in /tmp, removed at
// exit). Empty when the fixture or planetsplitter is missing, or on a
// big-endian machine (the host's planetsplitter writes little-endian files).
std::string routingData(const std::string& area);

#endif
