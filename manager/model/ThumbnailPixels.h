#pragma once
// A thumbnail as plain pixels: loader threads make these, and only the user-interface
// thread turns them into bitmaps for drawing.

#include <cstdint>
#include <vector>

struct ThumbnailPixels {
    int width = 0;
    int height = 0;
    // Top row first, 3 bytes (red, green, blue) per pixel, rows without padding.
    std::vector<uint8_t> rgb;
};
