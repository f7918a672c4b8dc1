#ifndef TESSEL_WAKER_H
#define TESSEL_WAKER_H

// Wakes a thread asleep in poll(): any thread calls wake(), which never
// blocks; the sleeper polls fd() for reading and clear()s it once awake.
// A wake-up that comes before the sleep is kept, so none is lost.
class Waker {
public:
    Waker();
    ~Waker();
    Waker(const Waker&) = delete;
    Waker& operator=(const Waker&) = delete;

    void wake();
    int fd() const { return readEnd; }
    // True when wake() was called since the last clear().
    bool clear();

private:
    int readEnd = -1, writeEnd = -1;
};

#endif
