#pragma once

#include <cstdint>

namespace Util_E26EF {

// The error that file input and output report: a plain value whose message
// and detail point to static texts (the detail may be null). The code is
// always 0.
struct Exception {
    uint32_t code = 0;
    const char* message = nullptr;
    const char* detail = nullptr;
};

}  // namespace Util_E26EF
