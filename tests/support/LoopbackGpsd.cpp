#include "LoopbackGpsd.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackGpsd::LoopbackGpsd()
{
    listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        std::fprintf(stderr, "LoopbackGpsd: no loopback port\n");
    port = std::to_string(ntohs(address.sin_port));
}

LoopbackGpsd::~LoopbackGpsd()
{
    hangUp();
    close(listener);
}

bool LoopbackGpsd::accept()
{
    bool any = false;
    pollfd waiting{listener, POLLIN, 0};
    while (poll(&waiting, 1, 0) == 1) {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            break;
        clients.push_back(client);
        ++accepted;
        any = true;
    }
    return any;
}

bool LoopbackGpsd::send(const std::string& bytes)
{
    bool whole = true;
    for (int client : clients)
        whole = ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size()) && whole;
    return whole;
}

void LoopbackGpsd::hangUp()
{
    for (int client : clients)
        close(client);
    clients.clear();
}

GpsAddress LoopbackGpsd::address() const
{
    GpsAddress address;
    address.host = "127.0.0.1";
    address.port = port;
    return address;
}

std::string LoopbackGpsd::tpv(double lat, double lon, int second, double eph, const std::string& more)
{
    char line[256];
    std::snprintf(line, sizeof line,
                  "{\"class\":\"TPV\",\"mode\":3,\"time\":\"2026-12-07T%02d:%02d:%02dZ\",\"lat\":%.7f,\"lon\":%.7f,"
                  "\"altMSL\":12.5,\"eph\":%g",
                  (18 + (second / 60 + 10) / 60) % 24, (second / 60 + 10) % 60, second % 60, lat, lon, eph);
    return line + more + "}\n";
}
