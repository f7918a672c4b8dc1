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
    stalls = 0;
    if (gps_stream(data.get(), WATCH_ENABLE | WATCH_JSON, nullptr) < 0) {
        *problem = std::strerror(errno);
        close();
        return false;
    }
    return true;
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

// What waits on the socket: 1 bytes, 0 the end of the stream, -1 nothing
// yet, -2 an error.
int peek(int fd)
{
    char byte;
    const ssize_t n = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0)
        return 1;
    if (n == 0)
        return 0;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? -1 : -2;
}

// Reports taken in one read at most, so that a flood cannot hold the
// caller.
const int maxReports = 10000;
const int maxStalls = 20;

} // namespace

bool GpsdConnection::read(Fix* fix, const std::function<void(GpsdReport::Kind)>& each)
{
    if (!opened)
        return false;
    const int before = peek(fd());
    int n = 1;
    for (int taken = 0; taken < maxReports; ++taken) {
        // libgps leaves the flags of the last report on a line it cannot read.
        data->set = 0;
        if ((n = gps_read(data.get(), nullptr, 0)) <= 0)
            break;
        each(GpsdReport::fold(*data, fix));
    }
    if (n < 0 || before == 0 || before == -2)
        return false;
    // Bytes still waiting after libgps read what it could, again and again:
    // its buffer holds a line that never ends. (Once may be new bytes that
    // came in between.)
    stalls = n == 0 && peek(fd()) == 1 ? stalls + 1 : 0;
    return stalls < maxStalls;
}
