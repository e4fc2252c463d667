#pragma once
// The layout list of the print window: 80 x 80 pictures one under the other, a click
// picks one. Its arithmetic, apart from the window.

#include "print/model/PageComposition.h"

#include <vector>

class LayoutListGeometry {
public:
    static constexpr int kThumbnailSize = 80;
    static constexpr int kThumbnailLeft = 20;
    static constexpr int kThumbnailTop = 25;

    // The scroll height for a number of entries.
    static int ScrollHeight(int entries);
    // Where entry i's picture is drawn.
    static RECT ThumbnailRect(int index);
    // The entry index a click at client point (x, y) with the scroll position (sx, sy)
    // stands for; callers ignore indexes beyond the list.
    static int HitIndex(int x, int y, int scrollX, int scrollY);
    // The entries a Shift click at `clicked` makes current in turn, when `current` is
    // the current entry (-1 for none); the last one stays current.
    static std::vector<int> ShiftSelectionOrder(int current, int clicked);
    // A picture of w x h reduced (never enlarged) and centred in a box of box x box.
    static RECT PictureRect(int width, int height, int box);
};
