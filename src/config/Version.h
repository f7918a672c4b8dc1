#ifndef TESSEL_VERSION_H
#define TESSEL_VERSION_H

// The release, as the viewer shows it and the toolbox names itself to servers.
struct Version {
    static constexpr const char* number = "0.0.6.10";
};

#endif
