#ifndef TESSEL_TEST_LOOPBACKSERVER_H
#define TESSEL_TEST_LOOPBACKSERVER_H

#include <string>

// tests/support/tile_server.py on a free loopback port, serving the files
// of `root` (and tiles of the MBTiles file `tiles`); stopped when
// destroyed. `ok()` is false when python3 is missing.
class LoopbackServer {
public:
    LoopbackServer(const std::string& root, const std::string& tiles = "");
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool ok() const { return port > 0; }
    std::string url(const std::string& path) const;
    // The server's counts so far: requests and body bytes sent.
    void counts(long long* requests, long long* bytes, std::string* agents = nullptr) const;

private:
    int pid = -1, port = 0;
};

#endif
