#include "print/model/LayoutListGeometry.h"

#include <algorithm>
#include <climits>

int LayoutListGeometry::ScrollHeight(int entries)
{
    return static_cast<int>(std::min<long long>(static_cast<long long>(kThumbnailSize) * std::max(entries, 0) + 85, INT_MAX));
}

RECT LayoutListGeometry::ThumbnailRect(int index)
{
    const int top = kThumbnailTop + kThumbnailSize * index;
    return {kThumbnailLeft, top, kThumbnailLeft + kThumbnailSize, top + kThumbnailSize};
}

int LayoutListGeometry::HitIndex(int x, int y, int scrollX, int scrollY)
{
    const long long across = (static_cast<long long>(x) + scrollX - kThumbnailLeft) / kThumbnailSize;
    const long long down = (static_cast<long long>(y) + scrollY - 5) / kThumbnailSize;
    return static_cast<int>(std::clamp<long long>(across + down, INT_MIN, INT_MAX));
}

std::vector<int> LayoutListGeometry::ShiftSelectionOrder(int current, int clicked)
{
    std::vector<int> order;
    if (current < clicked) {
        for (int k = current + 1; k <= clicked; ++k)
            order.push_back(k);
    } else {
        for (int k = clicked; k < current; ++k)
            order.push_back(k);
    }
    return order;
}

RECT LayoutListGeometry::PictureRect(int width, int height, int box)
{
    if (box <= 0 || width <= 0 || height <= 0)
        return {};
    const double factor = std::max({static_cast<double>(width) / box, static_cast<double>(height) / box, 1.0});
    const int drawnWidth = static_cast<int>(width / factor);
    const int drawnHeight = static_cast<int>(height / factor);
    const int left = (box - drawnWidth) / 2;
    const int top = (box - drawnHeight) / 2;
    return {left, top, left + drawnWidth, top + drawnHeight};
}
