#pragma once

#include <cstdint>

// The window area drawn into: the last values given to reshape.
struct Viewport {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 512;
    std::int32_t height = 512;
};

// A pointer position relative to the viewport origin.
struct PointerPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
