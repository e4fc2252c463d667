#pragma once
// The toolbar's button images are drawn on a key colour; these filters put the
// toolbar's background pattern where the key colour is, and grey the rest for disabled
// buttons. Plain pixel functions, so that they are tested without a window.

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // red, green, blue per pixel, rows from the top

    bool Valid() const { return width > 0 && height > 0 && rgb.size() == size_t(width) * size_t(height) * 3; }
};

// The toolbar's key colour, 0xRRGGBB.
inline constexpr uint32_t kToolbarKeyColour = 0xC0C0C0;

// Key-coloured pixels take the background's pixel at the same place (the background
// repeats when it is smaller); other pixels stay.
RgbPixels PatternFilter(const RgbPixels& image, const RgbPixels& background, uint32_t key);
// As PatternFilter, and every other pixel turns grey: (6 green + 3 red + blue) / 10.
RgbPixels GrayFilter(const RgbPixels& image, const RgbPixels& background, uint32_t key);
