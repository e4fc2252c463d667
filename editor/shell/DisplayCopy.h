#pragma once
// The picture a plain view shows: the image sampled to the size it is shown at, as
// packed red, green, blue rows from the top, so that no full-size bitmap is ever made.

#include <cstdint>
#include <vector>

class CLfImage;

struct DisplaySize {
    int width = 0;
    int height = 0;
};

// The largest size of the image's proportions that fits the area, never above the
// image's own size; at least 1 x 1 for a valid image and a non-empty area.
DisplaySize BestFitSize(int imageWidth, int imageHeight, int areaWidth, int areaHeight);

// width x height x 3 bytes by nearest pixel; empty for an invalid image or size.
std::vector<uint8_t> SampleForDisplay(const CLfImage& image, int width, int height);
