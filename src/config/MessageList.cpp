#include "MessageList.h"

void MessageList::add(std::string text)
{
    const std::lock_guard<std::mutex> hold(lock);
    pending.push_back(std::move(text));
    any = true;
}

std::vector<std::string> MessageList::take()
{
    std::vector<std::string> taken;
    if (!any)
        return taken;
    const std::lock_guard<std::mutex> hold(lock);
    taken.swap(pending);
    any = false;
    return taken;
}
