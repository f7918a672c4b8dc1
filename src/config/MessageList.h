#ifndef TESSEL_MESSAGELIST_H
#define TESSEL_MESSAGELIST_H

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// Messages a library room has for the user, told on any thread and taken
// by the program, which decides where they show: the rooms below the
// program print nothing themselves.
class MessageList {
public:
    void add(std::string text);
    // The messages told since the last take(), oldest first. Cheap when
    // there are none, so the program may ask every pass.
    std::vector<std::string> take();

private:
    std::mutex lock;
    std::vector<std::string> pending;
    std::atomic<bool> any{false};
};

#endif
