#pragma once
// Where a plain view shows an image: at its own size, or reduced to fit its window.

struct DisplaySize {
    int width = 0;
    int height = 0;
};

// The largest size of the image's proportions that fits the area, never above the
// image's own size; at least 1 x 1 for a valid image and a non-empty area; empty
// when either is empty.
DisplaySize BestFitSize(int imageWidth, int imageHeight, int areaWidth, int areaHeight);
