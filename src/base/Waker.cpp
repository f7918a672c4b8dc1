#include "Waker.h"

#include <fcntl.h>
#include <unistd.h>

Waker::Waker()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        readEnd = fds[0];
        writeEnd = fds[1];
    }
}

Waker::~Waker()
{
    if (readEnd >= 0) {
        close(readEnd);
        close(writeEnd);
    }
}

void Waker::wake()
{
    // A full pipe already holds a wake-up: the byte is not needed.
    if (writeEnd >= 0) {
        const char byte = 1;
        (void)!write(writeEnd, &byte, 1);
    }
}

bool Waker::clear()
{
    bool woken = false;
    char bytes[64];
    while (readEnd >= 0 && read(readEnd, bytes, sizeof bytes) > 0)
        woken = true;
    return woken;
}
