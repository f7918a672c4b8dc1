#include "GpsAddress.h"

const char* const GpsAddress::defaultText = "localhost:2947";

namespace {

bool validPort(const std::string& port)
{
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long number = std::stol(port);
    return number >= 1 && number <= 65535;
}

bool validHost(const std::string& host)
{
    return !host.empty() && host.size() <= 253 &&
           host.find_first_of(" \t[]/\\") == std::string::npos && host[0] != '-';
}

} // namespace

bool GpsAddress::parse(const std::string& text)
{
    if (text == "off") {
        off = true;
        return true;
    }
    std::string newHost = text, newPort = "2947";
    if (!text.empty() && text[0] == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos)
            return false;
        newHost = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':')
                return false;
            newPort = rest.substr(1);
        }
        if (newHost.empty() || newHost.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos)
            return false;
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon != std::string::npos) {
            newHost = text.substr(0, colon);
            newPort = text.substr(colon + 1);
        }
        if (!validHost(newHost) || newHost.find(':') != std::string::npos)
            return false;
    }
    if (!validPort(newPort))
        return false;
    off = false;
    host = newHost;
    port = newPort;
    return true;
}
