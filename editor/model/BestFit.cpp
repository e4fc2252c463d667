#include "editor/model/BestFit.h"

#include <algorithm>
#include <cstdint>

DisplaySize BestFitSize(int imageWidth, int imageHeight, int areaWidth, int areaHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return {};
    if (imageWidth <= areaWidth && imageHeight <= areaHeight)
        return {imageWidth, imageHeight};
    // Compare the two scales without rounding: area/image by cross multiplication.
    const int64_t byWidth = int64_t(areaWidth) * imageHeight;
    const int64_t byHeight = int64_t(areaHeight) * imageWidth;
    DisplaySize size;
    if (byWidth <= byHeight) {
        size.width = areaWidth;
        size.height = static_cast<int>(byWidth / imageWidth);
    } else {
        size.height = areaHeight;
        size.width = static_cast<int>(byHeight / imageHeight);
    }
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    return size;
}

