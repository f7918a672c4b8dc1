#ifndef TESSEL_GPSDCONNECTION_H
#define TESSEL_GPSDCONNECTION_H

#include "Fix.h"
#include "GpsdReport.h"

#include <functional>
#include <memory>
#include <string>

struct gps_data_t;

// One connection to gpsd through libgps, watching its JSON reports. Its
// socket does not block: read() takes what has come and returns. read()
// reads the socket itself and hands libgps one whole, well-formed line at a
// time: libgps alone cannot tell a closed connection from a partial line
// that never ends, and its parser loops for ever on some malformed lines.
class GpsdConnection {
public:
    GpsdConnection();
    ~GpsdConnection();
    GpsdConnection(const GpsdConnection&) = delete;
    GpsdConnection& operator=(const GpsdConnection&) = delete;

    // Connects and asks for the report stream; false with *problem set when
    // gpsd cannot be reached (connecting may take as long as the network
    // takes to refuse).
    bool open(const std::string& host, const std::string& port, std::string* problem);
    void close();
    bool isOpen() const { return opened; }
    // The socket, to wait on; -1 when closed.
    int fd() const;

    // Folds every report that has come into *fix, telling `each` the kind
    // of each. False when gpsd has gone: the stream ended or failed, or no
    // longer moves.
    bool read(Fix* fix, const std::function<void(GpsdReport::Kind)>& each);

    // True for a TCP socket connected to its own address: a client retrying
    // a local port nobody listens on can be given that port as its own.
    static bool joinedToItself(int socket);

private:
    std::unique_ptr<gps_data_t> data;
    bool opened = false;
    std::string pending; // bytes of a line not ended yet
    bool skipping = false; // within a line too long to be a report
};

#endif
