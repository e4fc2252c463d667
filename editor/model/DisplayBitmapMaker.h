#pragma once
// Makes the pixels of the part of an image that a window shows, at the size it is
// shown: a 24-megapixel picture at best fit or at 300 per cent costs only the visible
// area, never a full-size bitmap.
//
// The display mapping: at scale s the image (W x H) is shown as trunc(W * s) x
// trunc(H * s) display pixels, and image pixel x covers display x * s .. (x + 1) * s.
// Enlarged, a display pixel shows the image pixel under it; reduced, it shows the
// average of a grid of samples (at most kMaxTaps a side) over the image pixels it
// covers. Alpha is blended onto the background colour. Works on any thread.

#include "image/CLfImage.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <vector>

class DisplayBitmapMaker {
public:
    static constexpr int kMaxTaps = 3;

    // The displayed size of an image at a scale (never below 1 x 1 for a real image).
    static SIZE DisplaySize(const CLfImage& image, float scale);

    // Fills rgb with area (display pixels; right and bottom exclusive) as packed
    // top-down RGB rows, 3 bytes a pixel, resizing it only when the size changes.
    // Parts of the area outside the displayed image get the background. False (and
    // an empty buffer) without pixels, with a scale of 0 or less, or an empty area.
    bool Make(const CLfImage& image, float scale, RECT area, COLORREF background, std::vector<uint8_t>& rgb);

private:
    // Source column (row) of each tap of each display column (row); -1 outside.
    std::vector<int32_t> m_columns;
    std::vector<int32_t> m_rows;
};
