#include "GpsdConnection.h"

#include <cerrno>
#include <cstring>
#include <gps.h>
#include <sys/socket.h>

GpsdConnection::GpsdConnection() : data(new gps_data_t())
{
}

GpsdConnection::~GpsdConnection()
{
    close();
}

bool GpsdConnection::open(const std::string& host, const std::string& port, std::string* problem)
{
    close();
    std::memset(data.get(), 0, sizeof *data);
    errno = 0;
    const int status = gps_open(host.c_str(), port.c_str(), data.get());
    if (status != 0) {
        *problem = gps_errstr(status);
        return false;
    }
    opened = true;
    pending.clear();
    skipping = false;
    if (joinedToItself(static_cast<int>(data->gps_fd))) {
        *problem = std::strerror(ECONNREFUSED);
        close();
        return false;
    }
    if (gps_stream(data.get(), WATCH_ENABLE | WATCH_JSON, nullptr) < 0) {
        *problem = std::strerror(errno);
        close();
        return false;
    }
    return true;
}

// Else the feed would wait for ever for reports that are its own commands
// echoed.
bool GpsdConnection::joinedToItself(int socket)
{
    sockaddr_storage own{}, peer{};
    socklen_t ownSize = sizeof own, peerSize = sizeof peer;
    return getsockname(socket, reinterpret_cast<sockaddr*>(&own), &ownSize) == 0 &&
           getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerSize) == 0 && ownSize == peerSize &&
           std::memcmp(&own, &peer, ownSize) == 0;
}

void GpsdConnection::close()
{
    if (opened)
        gps_close(data.get());
    opened = false;
}

int GpsdConnection::fd() const
{
    return opened ? static_cast<int>(data->gps_fd) : -1;
}

namespace {

// Reports taken in one read at most, so that a flood cannot hold the
// caller.
const int maxReports = 10000;

} // namespace

bool GpsdConnection::read(Fix* fix, const std::function<void(GpsdReport::Kind)>& each)
{
    if (!opened)
        return false;
    // The lines are framed here rather than by gps_read(): libgps's parser
    // loops for ever on some malformed lines, so only well-formed JSON
    // reaches it (GpsdReport::unpack).
    char bytes[4096];
    for (int taken = 0; taken < maxReports;) {
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos && taken < maxReports) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (skipping) {
                skipping = false;
                continue;
            }
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            each(GpsdReport::unpack(line, data.get(), fix));
            ++taken;
        }
        // A line longer than any report gpsd sends is dropped up to its end.
        if (pending.size() > GpsdReport::maxLine) {
            pending.clear();
            skipping = true;
        }
        if (taken >= maxReports)
            break;
        const ssize_t n = recv(fd(), bytes, sizeof bytes, MSG_DONTWAIT);
        if (n == 0)
            return false;
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        pending.append(bytes, static_cast<std::size_t>(n));
    }
    return true;
}
