#ifndef TESSEL_HTTPREPLY_H
#define TESSEL_HTTPREPLY_H

#include <string>

// What a server answered to one request (after redirects).
struct HttpReply {
    long status = 0;    // 0: no answer; `failure` says why
    std::string body;
    std::string contentRange, contentType, retryAfter; // headers of the final answer
    std::string failure; // a transport failure (refused, timed out, stalled, too many redirects)
    bool tooLarge = false; // the body passed the client's limit and was cut off
    bool lasting = false;  // a failure that asking again cannot mend (a redirect away from HTTP)
};

#endif
