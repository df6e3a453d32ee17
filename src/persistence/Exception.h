#pragma once

#include <cstdint>

namespace Util_E26EF {

// The error that file input and output report: a plain value whose message
// and detail point to static texts (the detail may be null). The code is
// always 0. error_number is the system's errno of the call that failed
// (0 when the failure was not a system call's, e.g. a malformed file), so a
// caller can add the reason (strerror) to its own report.
struct Exception {
    uint32_t code = 0;
    const char* message = nullptr;
    const char* detail = nullptr;
    int error_number = 0;
};

}  // namespace Util_E26EF
