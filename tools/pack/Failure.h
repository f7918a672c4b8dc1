#ifndef TESSEL_PACK_FAILURE_H
#define TESSEL_PACK_FAILURE_H

#include <string>

// Sets *error (when asked for) and returns false: `return fail(error, "...")`.
inline bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

#endif
