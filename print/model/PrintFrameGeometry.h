#pragma once
// The print window's placement, size limits and column widths, apart from the window.

#include "platform/WinTypes.h"

struct PrintColumns {
    int left = 0;    // the picker
    int middle = 0;  // the page view
    int right = 0;   // the layout list
};

class PrintFrameGeometry {
public:
    static constexpr int kMinWidth = 660;
    static constexpr int kMinHeight = 400;
    static constexpr int kRaisedHeight = 410;  // what a height under the minimum becomes

    // Where the window opens on a screen of that size (left, top, right, bottom).
    static RECT Placement(int screenWidth, int screenHeight);
    // A size the user drags to, raised to the limits.
    static SIZE LimitDraggedSize(int width, int height);
    // The column widths for a client width: a pane narrower than 600 lays out as 620.
    static PrintColumns Columns(int clientWidth);
};
